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
        : CWynElement(parent, parent->engine()), live(live) {
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
        v = Add(root, L"v");
        auto pageBox = std::make_unique<CWynWindow>(&root, &engine);
        page = pageBox.get();
        root.AddChild(std::move(pageBox));
        pageV = Add(*page, L"v");
        closed = Add(*page, L"closed", false);
    }

    ValueElement* Add(CWynElement& parent, std::wstring id, bool live = true) {
        auto element = std::make_unique<ValueElement>(&parent, std::move(id), live);
        ValueElement* raw = element.get();
        parent.AddChild(std::move(element));
        return raw;
    }

    CWynEngine engine{nullptr};
    CWynWindow root{nullptr, &engine};
    CWynElement* page = nullptr;
    ValueElement* v = nullptr;
    ValueElement* pageV = nullptr;
    ValueElement* closed = nullptr;
};

TEST_F(DataExchangeTest, IntegerKindsBothWays) {
    int i = 42;
    PutExchange(root, nullptr, CWynExchange::Int(L"V", i));
    EXPECT_EQ(v->value, 42) << "ids in any case";
    v->value = -7;
    GetExchange(root, CWynExchange::Int(L"v", i));
    EXPECT_EQ(i, -7);

    std::uint16_t hotkey = 0x0374;
    PutExchange(root, nullptr, CWynExchange::UInt16(L"v", hotkey));
    EXPECT_EQ(v->value, 0x0374);
    v->value = 0x12345;
    GetExchange(root, CWynExchange::UInt16(L"v", hotkey));
    EXPECT_EQ(hotkey, 0x2345) << "kept in 16 bits";

    std::uint8_t small = 200;
    PutExchange(root, nullptr, CWynExchange::UInt8(L"v", small));
    EXPECT_EQ(v->value, 200);
    v->value = 0x1FF;
    GetExchange(root, CWynExchange::UInt8(L"v", small));
    EXPECT_EQ(small, 0xFF);
}

TEST_F(DataExchangeTest, TwoValueFormShowsWhetherTheVariableHoldsTheTrueValue) {
    const struct {
        int variable;
        int shown;
    } puts[] = {{5, 1}, {9, 0}, {0, 0}};
    for (const auto& c : puts) {
        int x = c.variable;
        PutExchange(root, nullptr, CWynExchange::Int(L"v", x, 5, 9));
        EXPECT_EQ(v->value, c.shown) << c.variable;
    }
    const struct {
        int control;
        int stored;
    } gets[] = {{1, 5}, {0, 9}, {2, 5}};
    for (const auto& c : gets) {
        v->value = c.control;
        int x = 0;
        GetExchange(root, CWynExchange::Int(L"v", x, 5, 9));
        EXPECT_EQ(x, c.stored) << c.control;
    }
    std::uint16_t word = 0;
    v->value = 1;
    GetExchange(root, CWynExchange::UInt16(L"v", word, 0x300, 0x100));
    EXPECT_EQ(word, 0x300);
    std::uint8_t byte = 7;
    PutExchange(root, nullptr, CWynExchange::UInt8(L"v", byte, 7, 0));
    EXPECT_EQ(v->value, 1);
}

TEST_F(DataExchangeTest, TextKindsBothWays) {
    std::optional<std::wstring> text = L"hello";
    PutExchange(root, nullptr, CWynExchange::Text(L"v", text));
    EXPECT_EQ(v->text, L"hello");

    std::optional<std::wstring> none;
    const int sets = v->sets;
    PutExchange(root, nullptr, CWynExchange::Text(L"v", none));
    EXPECT_EQ(v->sets, sets) << "no text: the control keeps its own";

    v->text = L"typed";
    GetExchange(root, CWynExchange::Text(L"v", none));
    EXPECT_EQ(none, L"typed");
    v->text.reset();
    GetExchange(root, CWynExchange::Text(L"v", text));
    EXPECT_EQ(text, std::nullopt) << "an empty control gives none";

    wchar_t buffer[6] = L"abc";
    PutExchange(root, nullptr, CWynExchange::Buffer(L"v", buffer));
    EXPECT_EQ(v->text, L"abc");
    v->text = L"much too long";
    GetExchange(root, CWynExchange::Buffer(L"v", buffer));
    EXPECT_STREQ(buffer, L"much ") << "cut to the buffer, with its terminator";
    v->text.reset();
    GetExchange(root, CWynExchange::Buffer(L"v", buffer));
    EXPECT_STREQ(buffer, L"");
}

TEST_F(DataExchangeTest, FlagsAndBitFields) {
    std::uint32_t flags = 0x0F;
    PutExchange(root, nullptr, CWynExchange::Flags(L"v", flags, 0x06));
    EXPECT_EQ(v->value, 1);
    PutExchange(root, nullptr, CWynExchange::Flags(L"v", flags, 0x30));
    EXPECT_EQ(v->value, 0);
    PutExchange(root, nullptr, CWynExchange::Flags(L"v", flags, 0x18));
    EXPECT_EQ(v->value, 0) << "all the mask's bits must be set";
    v->value = 0;
    GetExchange(root, CWynExchange::Flags(L"v", flags, 0x06));
    EXPECT_EQ(flags, 0x09u);
    v->value = 2;
    GetExchange(root, CWynExchange::Flags(L"v", flags, 0x30));
    EXPECT_EQ(flags, 0x39u);

    std::uint32_t field = 0xABCD;
    PutExchange(root, nullptr, CWynExchange::BitField(L"v", field, 0x0F0));
    EXPECT_EQ(v->value, 0x0C0);
    v->value = 0x7FF;
    GetExchange(root, CWynExchange::BitField(L"v", field, 0x0F0));
    EXPECT_EQ(field, 0xABFDu) << "only the masked bits change";
}

TEST_F(DataExchangeTest, ScaledDividesOnPutAndMultipliesOnGet) {
    int ms = 2500;
    PutExchange(root, nullptr, CWynExchange::Scaled(L"v", ms, 1000));
    EXPECT_EQ(v->value, 2);
    v->value = 3;
    GetExchange(root, CWynExchange::Scaled(L"v", ms, 1000));
    EXPECT_EQ(ms, 3000);
    v->value = 5000000;
    GetExchange(root, CWynExchange::Scaled(L"v", ms, 1000));
    EXPECT_EQ(ms, INT_MAX) << "held to the 32-bit range";
    int lowest = INT_MIN;
    PutExchange(root, nullptr, CWynExchange::Scaled(L"v", lowest, -1));
    EXPECT_EQ(v->value, INT_MAX);

    // A zero factor does nothing either way rather than zeroing the variable.
    const int sets = v->sets;
    int kept = 77;
    PutExchange(root, nullptr, CWynExchange::Scaled(L"v", kept, 0));
    GetExchange(root, CWynExchange::Scaled(L"v", kept, 0));
    EXPECT_EQ(v->sets, sets);
    EXPECT_EQ(kept, 77);
}

TEST_F(DataExchangeTest, PutLooksInTheScopeAndGetAlwaysInTheDialog) {
    int x = 11;
    PutExchange(root, page, CWynExchange::Int(L"v", x));
    EXPECT_EQ(pageV->value, 11);
    EXPECT_EQ(v->value, 0);
    pageV->value = 5;
    v->value = 6;
    GetExchange(root, CWynExchange::Int(L"v", x));
    EXPECT_EQ(x, 6) << "the first in the dialog";
}

TEST_F(DataExchangeTest, APageNeverOpenedOrAMissingIdLeavesVariablesAlone) {
    closed->value = 99;
    closed->text = L"unseen";
    int i = 3;
    std::optional<std::wstring> text = L"mine";
    std::uint32_t flags = 0x5;
    GetExchange(root, CWynExchange::Int(L"closed", i));
    GetExchange(root, CWynExchange::Text(L"closed", text));
    GetExchange(root, CWynExchange::Flags(L"closed", flags, 0x1));
    EXPECT_EQ(i, 3);
    EXPECT_EQ(text, L"mine");
    EXPECT_EQ(flags, 0x5u);

    GetExchange(root, CWynExchange::Int(L"nowhere", i));
    PutExchange(root, nullptr, CWynExchange::Int(L"nowhere", i));
    EXPECT_EQ(i, 3);
}

} // namespace
