#include "wyn/engine/wyn_engine.h"

#include <gtest/gtest.h>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/testing/test_tree.h"

namespace {

using wyn_test::Module;
using wyn_test::ParseElement;

class WynEngineTest : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
};

TEST_F(WynEngineTest, TextTableMatchesKeysAndAttributeNamesInAnyCase) {
    CWynEngine engine(Module());
    EXPECT_STREQ(engine.GetString(L"appname", nullptr, L"Kelvo"), L"Kelvo") << "starts empty";

    engine.AddString(L"WYN_STR_BTN_PASTE", std::nullopt, L"Paste it");
    engine.AddString(L"dlg.settings", L"caption", L"Settings caption");
    engine.AddString(L"DLG.SETTINGS", L"caption", L"a later duplicate");
    engine.AddString(L"dlg.settings", L"label", L"Settings label");

    const struct {
        const wchar_t* key;
        const wchar_t* attribute;
        const wchar_t* text;
    } cases[] = {
        {L"wyn_str_btn_paste", nullptr, L"Paste it"},
        {L"WYN_STR_BTN_PASTE", L"label", L"default"},       // the entry has no attribute
        {L"dlg.settings", nullptr, L"default"},             // every entry has one
        {L"Dlg.Settings", L"CAPTION", L"Settings caption"}, // the first match wins
        {L"dlg.settings", L"label", L"Settings label"},
        {L"dlg.settings", L"value", L"default"},
        {L"dlg.other", L"caption", L"default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.key)));
        EXPECT_STREQ(engine.GetString(c.key, c.attribute, L"default"), c.text);
    }
}

TEST_F(WynEngineTest, LocalisedAttributeComesFromTheTableWhenItHasAnEntry) {
    CWynEngine engine(Module());
    engine.AddString(L"ok-button", L"label", L"Fine");
    const auto node =
        ParseElement(L"<box locid=\"ok-button\" label=\"OK\" caption=\"Title\" id=\"b\"/>");
    ASSERT_TRUE(node);
    wyn_test::TestRoot root(&engine);
    auto box = engine.CreateElement(L"box", &root);
    ASSERT_TRUE(box);
    box->Parse(node.Get());
    EXPECT_EQ(box->GetLocalizedAttribute(node.Get(), L"label"), L"Fine");
    EXPECT_EQ(box->GetLocalizedAttribute(node.Get(), L"caption"), L"Title");
    EXPECT_EQ(box->GetLocalizedAttribute(node.Get(), L"missing"), std::nullopt);

    // Without a locid the table is not asked.
    const auto plain = ParseElement(L"<box label=\"OK\"/>");
    auto other = engine.CreateElement(L"box", &root);
    other->Parse(plain.Get());
    EXPECT_EQ(other->GetLocalizedAttribute(plain.Get(), L"label"), L"OK");
}

TEST_F(WynEngineTest, FactoryKnowsNamesInAnyCase) {
    CWynEngine engine(Module());
    const struct {
        const wchar_t* name;
        const wchar_t* type; // null: no element
    } cases[] = {
        {L"box", L"box"},
        {L"VBox", L"box"},
        {L"HBOX", L"box"},
        {L"Spacer", L"spacer"},
        {L"window", L""},
        {L"boxes", nullptr},
        {L"", nullptr},
        {L"customlist", nullptr}, // only the application's engine
        {L"contexthelp", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        const auto element = engine.CreateElement(c.name, nullptr);
        ASSERT_EQ(element != nullptr, c.type != nullptr);
        if (element) {
            CWynElement* self = nullptr;
            EXPECT_TRUE(element->IsType(c.type, self));
            EXPECT_EQ(self, element.get());
            EXPECT_EQ(element->Engine(), &engine);
            EXPECT_FALSE(element->IsType(L"label", self));
            EXPECT_EQ(self, nullptr);
        }
    }
}

TEST_F(WynEngineTest, AttributeValueRules) {
    const auto node = ParseElement(
        L"<e n=\"12\" neg=\"-3\" spaced=\" 7 \" junk=\"x12\" huge=\"99999999999\" empty=\"\""
        L" t1=\"true\" t2=\"TRUE\" t3=\"True\" yes=\"yes\" one=\"1\" f=\"FALSE\""
        L" o1=\"Vertical\" o2=\"diagonal\"/>");
    ASSERT_TRUE(node);
    const CWynAttributes a(node.Get());
    EXPECT_EQ(a.Int(L"n", -1), 12);
    EXPECT_EQ(a.Int(L"neg", -1), -3);
    EXPECT_EQ(a.Int(L"spaced", -1), 7);
    EXPECT_EQ(a.Int(L"junk", -1), -1);
    EXPECT_EQ(a.Int(L"huge", -1), -1);
    EXPECT_EQ(a.Int(L"empty", -1), -1);
    EXPECT_EQ(a.Int(L"absent", -1), -1);
    EXPECT_EQ(a.Int(L"N", -1), -1) << "attribute names are case-sensitive";

    for (const wchar_t* name : {L"t1", L"t2", L"t3"}) {
        EXPECT_TRUE(a.Bool(name));
        EXPECT_TRUE(a.BoolDefaultTrue(name));
    }
    for (const wchar_t* name : {L"yes", L"one", L"f", L"absent"})
        EXPECT_FALSE(a.Bool(name));
    EXPECT_TRUE(a.BoolDefaultTrue(L"absent"));
    EXPECT_TRUE(a.BoolDefaultTrue(L"yes"));
    EXPECT_FALSE(a.BoolDefaultTrue(L"f"));

    EXPECT_EQ(a.Enum(L"o1", {L"horizontal", L"vertical"}, 0), 1);
    EXPECT_EQ(a.Enum(L"o2", {L"horizontal", L"vertical"}, 0), 0);
    EXPECT_EQ(a.Enum(L"o2", {L"horizontal", L"vertical"}, 5), 5);
    EXPECT_EQ(a.Enum(L"absent", {L"horizontal", L"vertical"}, 1), 1);

    EXPECT_EQ(a.Text(L"empty"), L"");
    EXPECT_EQ(a.Text(L"absent"), std::nullopt);
}

} // namespace
