#include "wyn/elements/wyn_statusbar.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

TEST(WynStatusBarTest, FlexiblePartsShareWhatTheFixedOnesLeave) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog width="300" orient="vertical">
        <statusbar id="status" hFlex="1">
            <sbpart id="state" size="50"/>
            <sbpart id="main" flex="1"/>
            <sbpart id="side" flex="1"/>
        </statusbar>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {[](ScriptedDialog& d) {
        HWND status = d.Window(L"status");
        int edges[3] = {};
        ASSERT_EQ(::SendMessageW(status, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
        const int fixed = wyn_test::HorizontalUnits(d.Hwnd(), 50);
        const RECT placed = d.Placed(L"status");
        const int share = (placed.right - placed.left - fixed) / 2;
        EXPECT_EQ(edges[0], fixed);
        EXPECT_EQ(edges[1], fixed + share);
        EXPECT_EQ(edges[2], -1) << "the last part runs to the end";
        d.FindById(L"main")->SetTextValue(L"Ready");
        wchar_t text[16] = {};
        ::SendMessageW(status, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, L"Ready");
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
