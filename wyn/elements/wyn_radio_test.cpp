#include "wyn/elements/wyn_radio.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

bool Checked(ScriptedDialog& d, const wchar_t* id) {
    return ::SendMessageW(d.Window(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Raised(const ScriptedDialog& d, const wchar_t* source, const wchar_t* name) {
    return std::any_of(d.events.begin(), d.events.end(),
                       [&](const auto& e) { return e.source == source && e.name == name; });
}

TEST(WynRadioTest, GroupsHoldTheValueOfTheirCheckedRadioAndSpeakForThem) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog id="d" orient="vertical">
        <radiogroup id="size">
            <radio id="small" label="Small" value="10"/>
            <radio id="large" label="Large" value="20" selected="true"/>
        </radiogroup>
        <radiogroup id="colour">
            <vbox><radio id="red" label="Red" value="1"/><radio id="blue" label="Blue" value="2"/></vbox>
        </radiogroup>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            CWynElement* size = d.FindById(L"size");
            CWynElement* colour = d.FindById(L"colour");
            EXPECT_EQ(size->GetIntValue(), 20) << "`selected` checks the radio";
            EXPECT_EQ(colour->GetIntValue(), 0) << "nothing checked";
            colour->SetIntValue(2);
            EXPECT_TRUE(Checked(d, L"blue"));
            size->SetIntValue(10);
            EXPECT_TRUE(Checked(d, L"small"));
            EXPECT_FALSE(Checked(d, L"large"));
            EXPECT_TRUE(Checked(d, L"blue")) << "another group is not touched";
            ::PostMessageW(d.Window(L"large"), BM_CLICK, 0, 0);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"size")->GetIntValue(), 20);
            EXPECT_FALSE(Checked(d, L"small")) << "a click unchecks the rest of its group";
            EXPECT_EQ(d.FindById(L"colour")->GetIntValue(), 2);
            EXPECT_TRUE(Raised(d, L"size", L"changed"));
            EXPECT_FALSE(Raised(d, L"large", L"changed")) << "the group speaks for its radio";
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST(WynRadioTest, MultilineRadioTakesTheHeightOfItsWrappedText) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog width="120" orient="vertical">
        <radio id="single" label="Short"/>
        <radio id="multi" multiline="true" hFlex="1"
            label="A choice described at such length that it cannot fit on one line of this dialog"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {[](ScriptedDialog& d) {
        const RECT single = d.Placed(L"single");
        const RECT multi = d.Placed(L"multi");
        EXPECT_GE(multi.bottom - multi.top, 2 * (single.bottom - single.top));
        RECT client{};
        ::GetClientRect(d.Hwnd(), &client);
        EXPECT_LE(multi.right, client.right) << "wrapped inside the dialog";
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
