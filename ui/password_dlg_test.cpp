#include "ui/password_dlg.h"

#include <gtest/gtest.h>

#include "library/test_library.h"
#include "ui/dialog_test.h"

using kelvo::CipherKey;
using wyn_test::ClickOk;
using wyn_test::DialogScript;
using wyn_test::SetText;
using wyn_test::ShownTip;

namespace {

class PasswordDlgTest : public DialogTest {
protected:
    void Accept(const wchar_t* password) {
        SetText(dialog, L"password", password);
        ClickOk(dialog.hwnd());
    }

    CPasswordDlg dialog{&engine};
};

} // namespace

TEST_F(PasswordDlgTest, EveryWrongPasswordShowsTheTipUntilTheRightOneUnwrapsTheKey) {
    const CipherKey key = test_library::Make(L"Secret", {});
    std::vector<std::wstring> tips;
    DialogScript script({
        [&](HWND) { Accept(L"secret"); },
        [&](HWND) {
            tips.push_back(ShownTip(dialog));
            // The user closes the tip and is back in the field.
            ::SendMessageW(dialog.context_help().tip_window(), WM_LBUTTONDOWN, 0, 0);
            tips.push_back(ShownTip(dialog));
            EXPECT_EQ(::GetFocus(), dialog.FindById(L"password")->hwnd());
            Accept(L"");
        },
        [&](HWND) {
            tips.push_back(ShownTip(dialog));
            Accept(L"Secret");
        },
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(tips, (std::vector<std::wstring>{L"password", L"", L"password"}));
    EXPECT_EQ(dialog.DataKey(), key);
}

TEST_F(PasswordDlgTest, WithoutAStoredKeyOnlyCancelEnds) {
    WriteChunks("<kelvo><chunks/></kelvo>");
    std::vector<std::wstring> tips;
    DialogScript script({
        [&](HWND) { Accept(L""); },
        [&](HWND) {
            tips.push_back(ShownTip(dialog));
            Accept(L"anything");
        },
        [&](HWND) {
            tips.push_back(ShownTip(dialog));
            wyn_test::ClickCancel(dialog.hwnd());
        },
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(tips, (std::vector<std::wstring>{L"password", L"password"}));
}

TEST_F(PasswordDlgTest, TheStoredPeriodIsPreselectedAndKeptWhenNothingIsSelected) {
    test_library::Make(L"Secret", {});
    const struct {
        int stored;
        const wchar_t* shown;
        int pick; // item index; -1: leave the selection alone
        int chosen;
    } cases[] = {
        {15, L"15", -1, 15},   {-1, L"-1", -1, -1},
        {0, L"0", 1, 1},       {5, L"5", 9, -1}, // "until restart" chosen on purpose
        {7, L"none", -1, 7},                     // an edited file: none of the listed periods
        {-3, L"none", -1, -3},
    };
    for (const auto& c : cases) {
        CPasswordDlg run(&engine);
        run.SetRememberPeriod(c.stored);
        std::wstring shown;
        DialogScript script({[&](HWND) {
            shown = wyn_test::SelectedValue(run.FindById(L"remember")->hwnd());
            if (c.pick >= 0)
                ::SendMessageW(run.FindById(L"remember")->hwnd(), CB_SETCURSEL,
                               static_cast<WPARAM>(c.pick), 0);
            SetText(run, L"password", L"Secret");
            ClickOk(run.hwnd());
        }});
        EXPECT_EQ(run.DoModal(nullptr), IDOK);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(shown, c.shown) << c.stored;
        EXPECT_EQ(run.RememberPeriod(), c.chosen) << c.stored;
    }
}
