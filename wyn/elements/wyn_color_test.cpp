#include "wyn/elements/wyn_color.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

void PostKey(HWND window, UINT key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

TEST(WynColorTest, PaletteChoiceBecomesTheValue) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <color id="fixed"/>
        <color id="optional" enableNone="true"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            CWynElement* fixed = d.FindById(L"fixed");
            fixed->SetIntValue(RGB(1, 2, 3));
            EXPECT_EQ(fixed->GetIntValue(), static_cast<int>(RGB(1, 2, 3)));
            fixed->SetIntValue(CWynColor::kNone);
            EXPECT_EQ(fixed->GetIntValue(), static_cast<int>(RGB(1, 2, 3))) << "none not allowed";
            CWynElement* optional = d.FindById(L"optional");
            optional->SetIntValue(CWynColor::kNone);
            EXPECT_EQ(optional->GetIntValue(), CWynColor::kNone);
            ::PostMessageW(d.Window(L"fixed"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        },
        // Inside the open palette: the second colour (grey).
        [](ScriptedDialog& d) {
            PostKey(d.Hwnd(), VK_RIGHT);
            PostKey(d.Hwnd(), VK_RIGHT);
            PostKey(d.Hwnd(), VK_RETURN);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"fixed")->GetIntValue(), static_cast<int>(RGB(128, 128, 128)));
            EXPECT_TRUE(std::any_of(d.events.begin(), d.events.end(), [](const auto& e) {
                return e.source == L"fixed" && e.name == L"changed";
            }));
            ::PostMessageW(d.Window(L"fixed"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        },
        [](ScriptedDialog& d) { PostKey(d.Hwnd(), VK_ESCAPE); },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"fixed")->GetIntValue(), static_cast<int>(RGB(128, 128, 128)))
                << "dismissed: no change";
            EXPECT_TRUE(::IsWindowVisible(d.Hwnd())) << "the Escape closed only the palette";
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
