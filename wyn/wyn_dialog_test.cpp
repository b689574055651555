#include "wyn/wyn_dialog.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "wyn/dialog_units.h"
#include "wyn/test_dialog.h"
#include "wyn/wyn_engine.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

class WynDialogTest : public ::testing::Test {
protected:
    void SetUp() override { wyn_test::InitPlatform(); }

    CWynEngine engine{wyn_test::Module()};
};

constexpr wchar_t kOkCancel[] = LR"(<dialog id="d" caption="Ask" orient="vertical">
    <textbox id="name"/>
    <hbox>
        <button id="ok" label="OK" dlgType="accept"/>
        <button id="cancel" label="Cancel" dlgType="cancel"/>
    </hbox>
</dialog>)";

TEST_F(WynDialogTest, EnterAcceptsOnlyWhenCanCloseAgrees) {
    DescriptionFile file(kOkCancel);
    ScriptedDialog dialog(file.path(), &engine);
    dialog.allowClose = false;
    dialog.steps = {
        [](ScriptedDialog& d) { d.PressKey(VK_RETURN); },
        [](ScriptedDialog& d) {
            EXPECT_TRUE(::IsWindowVisible(d.hwnd())) << "refused: the dialog stays";
            d.allowClose = true;
            d.PressKey(VK_RETURN);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.reasons, (std::vector<int>{1, 1}));
    ASSERT_FALSE(dialog.events.empty());
    EXPECT_EQ(dialog.events.front().source, L"ok");
    EXPECT_EQ(dialog.events.front().name, L"clicked");
}

TEST_F(WynDialogTest, EscapeAndTheCloseBoxAskWithTheirReasonsAndEndWithCancel) {
    DescriptionFile file(kOkCancel);
    {
        ScriptedDialog dialog(file.path(), &engine);
        dialog.steps = {[](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); }};
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_EQ(dialog.reasons, (std::vector<int>{2}));
    }
    {
        ScriptedDialog dialog(file.path(), &engine);
        dialog.allowClose = false;
        dialog.steps = {
            [](ScriptedDialog& d) { ::PostMessageW(d.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); },
            [](ScriptedDialog& d) {
                EXPECT_TRUE(::IsWindowVisible(d.hwnd()));
                d.allowClose = true;
                ::PostMessageW(d.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
            },
        };
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_EQ(dialog.reasons, (std::vector<int>{0, 0}));
    }
}

} // namespace
