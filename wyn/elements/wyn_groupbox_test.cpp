#include "wyn/elements/wyn_groupbox.h"

#include <gtest/gtest.h>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

TEST(WynGroupboxTest, FrameEnclosesItsChildrenBelowThemInZOrder) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <groupbox id="group" label="Options" orient="vertical">
            <checkbox id="first" label="First"/>
            <checkbox id="second" label="Second"/>
        </groupbox>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {[](ScriptedDialog& d) {
        const RECT group = d.Placed(L"group");
        const RECT first = d.Placed(L"first");
        const RECT second = d.Placed(L"second");
        const HWND dialog_window = d.Hwnd();
        EXPECT_EQ(first.left - group.left, wyn_test::HorizontalUnits(dialog_window, 7));
        EXPECT_EQ(first.top - group.top, wyn_test::VerticalUnits(dialog_window, 11));
        EXPECT_EQ(group.bottom - second.bottom, wyn_test::VerticalUnits(dialog_window, 7));
        EXPECT_GE(group.right - first.right, wyn_test::HorizontalUnits(dialog_window, 8));
        // Later siblings lie lower in the Z-order: the frame comes after its children.
        bool frame_after_children = false;
        for (HWND w = d.Window(L"second"); w; w = ::GetWindow(w, GW_HWNDNEXT))
            frame_after_children = frame_after_children || w == d.Window(L"group");
        EXPECT_TRUE(frame_after_children);
        wchar_t label[16] = {};
        ::GetWindowTextW(d.Window(L"group"), label, 16);
        EXPECT_STREQ(label, L"Options");
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
