#include "wyn/elements/wyn_menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

int Count(const ScriptedDialog& d, const wchar_t* source, const wchar_t* name) {
    return static_cast<int>(std::count_if(d.events.begin(), d.events.end(), [&](const auto& e) {
        return e.source == source && e.name == name;
    }));
}

void PostKey(HWND window, UINT key) {
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

TEST(WynMenuTest, ButtonOpensItsPopupAndTheChosenItemIsClicked) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <button id="tools" label="Tools">
            <menupopup id="menu">
                <menuitem id="first" label="First"/>
                <menuseparator/>
                <menuitem id="second" label="Second"/>
            </menupopup>
        </button>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.eventAnswer = [](CWynElement* source, std::wstring_view name, WPARAM, LPARAM) {
        const std::wstring id = source && source->Id() ? *source->Id() : L"";
        return std::int64_t{(id == L"first" && name == L"disable-menu-item") ||
                            (id == L"second" && name == L"check-menu-item")};
    };
    UINT first_state = 0, second_state = 0;
    dialog.steps = {
        [](ScriptedDialog& d) { ::PostMessageW(d.Window(L"tools"), BM_CLICK, 0, 0); },
        // Runs inside the open menu.
        [&](ScriptedDialog& d) {
            auto* menu = dynamic_cast<CWynMenuPopup*>(d.FindById(L"menu"));
            ASSERT_NE(menu, nullptr);
            first_state =
                ::GetMenuState(menu->Menu(), d.FindById(L"first")->ControlId(), MF_BYCOMMAND);
            second_state =
                ::GetMenuState(menu->Menu(), d.FindById(L"second")->ControlId(), MF_BYCOMMAND);
            PostKey(d.Hwnd(), VK_UP); // the last item
            PostKey(d.Hwnd(), VK_RETURN);
        },
        [](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(first_state & MF_GRAYED) << "the dialog disabled it";
    EXPECT_TRUE(second_state & MF_CHECKED) << "the dialog checked it";
    EXPECT_EQ(Count(dialog, L"first", L"get-menu-item"), 1);
    EXPECT_EQ(Count(dialog, L"second", L"clicked"), 1);
    EXPECT_EQ(Count(dialog, L"first", L"clicked"), 0);
}

TEST(WynMenuTest, MenuBarItemsRaiseClicked) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <menubar>
            <menupopup label="&amp;File">
                <menuitem id="open" label="&amp;Open"/>
                <menuitem id="recent" label="&amp;Recent" radio="true"/>
            </menupopup>
        </menubar>
        <label value="Body"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            HMENU bar = ::GetMenu(d.Hwnd());
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(::GetMenuItemCount(bar), 1);
            HMENU file = ::GetSubMenu(bar, 0);
            EXPECT_EQ(::GetMenuItemCount(file), 2);
            d.FindById(L"recent")->SetIntValue(1);
            EXPECT_TRUE(::GetMenuState(file, d.FindById(L"recent")->ControlId(), MF_BYCOMMAND) &
                        MF_CHECKED);
            ::PostMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(d.FindById(L"open")->ControlId(), 0),
                           0);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(Count(d, L"open", L"clicked"), 1);
            EXPECT_TRUE(std::none_of(d.fallbacks.begin(), d.fallbacks.end(), [](const auto& f) {
                return f.message == WM_COMMAND;
            })) << "the bar took its command";
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
