#include "wyn/host/data_exchange.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "wyn/engine/wyn_engine.h"
#include "wyn/engine/wyn_window.h"

namespace {

// An element that holds an integer and a text, and may not be readable yet.
class ValueElement : public CWynElement {
public:
    ValueElement(CWynElement* parent, std::wstring id, bool live = true)
        : CWynElement(parent, parent->Engine()), live(live) {
        m_id = std::move(id);
    }

    void SetIntValue(int v) override {
        value = v;
        ++sets;
    }
    int GetIntValue() override { return value; }
    void SetTextValue(const wchar_t* t) override {
        text = t ? std::optional<std::wstring>(t) : std::nullopt;
        ++sets;
    }
    const wchar_t* GetTextValue() override { return text ? text->c_str() : nullptr; }
    bool IsLive() override { return live; }

    int value = 0;
    std::optional<std::wstring> text;
    bool live;
    int sets = 0;
};

class DataExchangeTest : public ::testing::Test {
protected:
    DataExchangeTest() {
        m_v = Add(m_root, L"v");
        auto page_box = std::make_unique<CWynWindow>(&m_root, &m_engine);
        m_page = page_box.get();
        m_root.AddChild(std::move(page_box));
        m_pageV = Add(*m_page, L"v");
        m_closed = Add(*m_page, L"closed", false);
    }

    ValueElement* Add(CWynElement& parent, std::wstring id, bool live = true) {
        auto element = std::make_unique<ValueElement>(&parent, std::move(id), live);
        ValueElement* raw = element.get();
        parent.AddChild(std::move(element));
        return raw;
    }

    CWynEngine m_engine{nullptr};
    CWynWindow m_root{nullptr, &m_engine};
    CWynElement* m_page = nullptr;
    ValueElement* m_v = nullptr;
    ValueElement* m_pageV = nullptr;
    ValueElement* m_closed = nullptr;
};

TEST_F(DataExchangeTest, IntegerKindsBothWays) {
    int i = 42;
    PutExchange(m_root, nullptr, CWynExchange::Int(L"V", i));
    EXPECT_EQ(m_v->value, 42) << "ids in any case";
    m_v->value = -7;
    GetExchange(m_root, CWynExchange::Int(L"v", i));
    EXPECT_EQ(i, -7);

    std::uint16_t hotkey = 0x0374;
    PutExchange(m_root, nullptr, CWynExchange::UInt16(L"v", hotkey));
    EXPECT_EQ(m_v->value, 0x0374);
    m_v->value = 0x12345;
    GetExchange(m_root, CWynExchange::UInt16(L"v", hotkey));
    EXPECT_EQ(hotkey, 0x2345) << "kept in 16 bits";

    std::uint8_t small = 200;
    PutExchange(m_root, nullptr, CWynExchange::UInt8(L"v", small));
    EXPECT_EQ(m_v->value, 200);
    m_v->value = 0x1FF;
    GetExchange(m_root, CWynExchange::UInt8(L"v", small));
    EXPECT_EQ(small, 0xFF);
}

TEST_F(DataExchangeTest, TwoValueFormShowsWhetherTheVariableHoldsTheTrueValue) {
    const struct {
        int variable;
        int shown;
    } puts[] = {{5, 1}, {9, 0}, {0, 0}};
    for (const auto& c : puts) {
        int x = c.variable;
        PutExchange(m_root, nullptr, CWynExchange::Int(L"v", x, 5, 9));
        EXPECT_EQ(m_v->value, c.shown) << c.variable;
    }
    const struct {
        int control;
        int stored;
    } gets[] = {{1, 5}, {0, 9}, {2, 5}};
    for (const auto& c : gets) {
        m_v->value = c.control;
        int x = 0;
        GetExchange(m_root, CWynExchange::Int(L"v", x, 5, 9));
        EXPECT_EQ(x, c.stored) << c.control;
    }
    std::uint16_t word = 0;
    m_v->value = 1;
    GetExchange(m_root, CWynExchange::UInt16(L"v", word, 0x300, 0x100));
    EXPECT_EQ(word, 0x300);
    std::uint8_t byte = 7;
    PutExchange(m_root, nullptr, CWynExchange::UInt8(L"v", byte, 7, 0));
    EXPECT_EQ(m_v->value, 1);
}

TEST_F(DataExchangeTest, TextKindsBothWays) {
    std::optional<std::wstring> text = L"hello";
    PutExchange(m_root, nullptr, CWynExchange::Text(L"v", text));
    EXPECT_EQ(m_v->text, L"hello");

    std::optional<std::wstring> none;
    const int sets = m_v->sets;
    PutExchange(m_root, nullptr, CWynExchange::Text(L"v", none));
    EXPECT_EQ(m_v->sets, sets) << "no text: the control keeps its own";

    m_v->text = L"typed";
    GetExchange(m_root, CWynExchange::Text(L"v", none));
    EXPECT_EQ(none, L"typed");
    m_v->text.reset();
    GetExchange(m_root, CWynExchange::Text(L"v", text));
    EXPECT_EQ(text, std::nullopt) << "an empty control gives none";

    // A secret's text the same way.
    std::optional<kelvo::WipedString<wchar_t>> secret(std::in_place, L"4711");
    PutExchange(m_root, nullptr, CWynExchange::Text(L"v", secret));
    EXPECT_EQ(m_v->text, L"4711");
    m_v->text = L"4712";
    GetExchange(m_root, CWynExchange::Text(L"v", secret));
    ASSERT_TRUE(secret);
    EXPECT_EQ(secret->view(), L"4712");
    m_v->text.reset();
    GetExchange(m_root, CWynExchange::Text(L"v", secret));
    EXPECT_FALSE(secret);

    wchar_t buffer[6] = L"abc";
    PutExchange(m_root, nullptr, CWynExchange::Buffer(L"v", buffer));
    EXPECT_EQ(m_v->text, L"abc");
    m_v->text = L"much too long";
    GetExchange(m_root, CWynExchange::Buffer(L"v", buffer));
    EXPECT_STREQ(buffer, L"much ") << "cut to the buffer, with its terminator";
    m_v->text.reset();
    GetExchange(m_root, CWynExchange::Buffer(L"v", buffer));
    EXPECT_STREQ(buffer, L"");
}

TEST_F(DataExchangeTest, FlagsAndBitFields) {
    std::uint32_t flags = 0x0F;
    PutExchange(m_root, nullptr, CWynExchange::Flags(L"v", flags, 0x06));
    EXPECT_EQ(m_v->value, 1);
    PutExchange(m_root, nullptr, CWynExchange::Flags(L"v", flags, 0x30));
    EXPECT_EQ(m_v->value, 0);
    PutExchange(m_root, nullptr, CWynExchange::Flags(L"v", flags, 0x18));
    EXPECT_EQ(m_v->value, 0) << "all the mask's bits must be set";
    m_v->value = 0;
    GetExchange(m_root, CWynExchange::Flags(L"v", flags, 0x06));
    EXPECT_EQ(flags, 0x09u);
    m_v->value = 2;
    GetExchange(m_root, CWynExchange::Flags(L"v", flags, 0x30));
    EXPECT_EQ(flags, 0x39u);

    std::uint32_t field = 0xABCD;
    PutExchange(m_root, nullptr, CWynExchange::BitField(L"v", field, 0x0F0));
    EXPECT_EQ(m_v->value, 0x0C0);
    m_v->value = 0x7FF;
    GetExchange(m_root, CWynExchange::BitField(L"v", field, 0x0F0));
    EXPECT_EQ(field, 0xABFDu) << "only the masked bits change";
}

TEST_F(DataExchangeTest, ScaledDividesOnPutAndMultipliesOnGet) {
    int ms = 2500;
    PutExchange(m_root, nullptr, CWynExchange::Scaled(L"v", ms, 1000));
    EXPECT_EQ(m_v->value, 2);
    m_v->value = 3;
    GetExchange(m_root, CWynExchange::Scaled(L"v", ms, 1000));
    EXPECT_EQ(ms, 3000);
    m_v->value = 5000000;
    GetExchange(m_root, CWynExchange::Scaled(L"v", ms, 1000));
    EXPECT_EQ(ms, INT_MAX) << "held to the 32-bit range";
    int lowest = INT_MIN;
    PutExchange(m_root, nullptr, CWynExchange::Scaled(L"v", lowest, -1));
    EXPECT_EQ(m_v->value, INT_MAX);

    // A zero factor does nothing either way rather than zeroing the variable.
    const int sets = m_v->sets;
    int kept = 77;
    PutExchange(m_root, nullptr, CWynExchange::Scaled(L"v", kept, 0));
    GetExchange(m_root, CWynExchange::Scaled(L"v", kept, 0));
    EXPECT_EQ(m_v->sets, sets);
    EXPECT_EQ(kept, 77);
}

TEST_F(DataExchangeTest, PutLooksInTheScopeAndGetAlwaysInTheDialog) {
    int x = 11;
    PutExchange(m_root, m_page, CWynExchange::Int(L"v", x));
    EXPECT_EQ(m_pageV->value, 11);
    EXPECT_EQ(m_v->value, 0);
    m_pageV->value = 5;
    m_v->value = 6;
    GetExchange(m_root, CWynExchange::Int(L"v", x));
    EXPECT_EQ(x, 6) << "the first in the dialog";
}

TEST_F(DataExchangeTest, APageNeverOpenedOrAMissingIdLeavesVariablesAlone) {
    m_closed->value = 99;
    m_closed->text = L"unseen";
    int i = 3;
    std::optional<std::wstring> text = L"mine";
    std::uint32_t flags = 0x5;
    GetExchange(m_root, CWynExchange::Int(L"closed", i));
    GetExchange(m_root, CWynExchange::Text(L"closed", text));
    GetExchange(m_root, CWynExchange::Flags(L"closed", flags, 0x1));
    EXPECT_EQ(i, 3);
    EXPECT_EQ(text, L"mine");
    EXPECT_EQ(flags, 0x5u);

    GetExchange(m_root, CWynExchange::Int(L"nowhere", i));
    PutExchange(m_root, nullptr, CWynExchange::Int(L"nowhere", i));
    EXPECT_EQ(i, 3);
}

} // namespace
