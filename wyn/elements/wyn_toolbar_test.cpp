#include "wyn/elements/wyn_toolbar.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

TEST(WynToolbarTest, ButtonsComeFromTheDescriptionAndRaiseClicked) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog orient="vertical">
        <toolbar id="bar" flat="true" list="true">
            <toolbarbutton id="add" label="Add" icon="tint.png" showtext="true"/>
            <toolbarbutton separator="true"/>
            <toolbarbutton id="bold" label="Bold" check="true"/>
        </toolbar>
        <label value="Below"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            HWND bar = d.Window(L"bar");
            EXPECT_EQ(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 3);
            const RECT placed = d.Placed(L"bar");
            EXPECT_GT(placed.bottom - placed.top, 0);
            RECT button{};
            ::SendMessageW(bar, TB_GETRECT, d.FindById(L"add")->ControlId(),
                           reinterpret_cast<LPARAM>(&button));
            EXPECT_GT(button.right, button.left);
            const LPARAM at =
                MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
            ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
            ::SendMessageW(bar, WM_LBUTTONUP, 0, at);
        },
        [](ScriptedDialog& d) {
            EXPECT_TRUE(std::any_of(d.events.begin(), d.events.end(), [](const auto& e) {
                return e.source == L"add" && e.name == L"clicked";
            }));
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
