#include "wyn/elements/wyn_checks_list.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

bool Changed(const ScriptedDialog& d) {
    return std::any_of(d.events.begin(), d.events.end(),
                       [](const auto& e) { return e.source == L"checks" && e.name == L"changed"; });
}

TEST(WynChecksListTest, ItemsHoldTheirCheckAndOnlyTheUserRaisesChanged) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <checkslist id="checks" visibleItems="3">
            <checkitem id="tea" label="Tea" value="5"/>
            <checkitem id="coffee" label="Coffee"/>
        </checkslist>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            HWND list = d.Window(L"checks");
            EXPECT_EQ(ListView_GetItemCount(list), 2);
            CWynElement* tea = d.FindById(L"tea");
            EXPECT_EQ(tea->GetIntValue(), 0);
            tea->SetIntValue(1);
            EXPECT_EQ(tea->GetIntValue(), 1);
            EXPECT_EQ(d.FindById(L"coffee")->GetIntValue(), 0);
            EXPECT_FALSE(Changed(d)) << "set by the program";
            // The user ticks the second row with the space bar.
            ::SetFocus(list);
            ListView_SetItemState(list, 1, LVIS_FOCUSED | LVIS_SELECTED,
                                  LVIS_FOCUSED | LVIS_SELECTED);
            ::SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
            ::SendMessageW(list, WM_KEYUP, VK_SPACE, 0xC0390001);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"coffee")->GetIntValue(), 1);
            EXPECT_TRUE(Changed(d));
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
