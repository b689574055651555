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
        SetText(m_dialog, L"password", password);
        ClickOk(m_dialog.Hwnd());
    }

    CPasswordDlg m_dialog{&m_engine};
};

} // namespace

TEST_F(PasswordDlgTest, EveryWrongPasswordShowsTheTipUntilTheRightOneUnwrapsTheKey) {
    const CipherKey key = test_library::Make(L"Secret", {});
    std::vector<std::wstring> tips;
    DialogScript script({
        [&](HWND) { Accept(L"secret"); },
        [&](HWND) {
            tips.push_back(ShownTip(m_dialog));
            // The user closes the tip and is back in the field.
            ::SendMessageW(m_dialog.ContextHelp().TipWindow(), WM_LBUTTONDOWN, 0, 0);
            tips.push_back(ShownTip(m_dialog));
            EXPECT_EQ(::GetFocus(), m_dialog.FindById(L"password")->Hwnd());
            Accept(L"");
        },
        [&](HWND) {
            tips.push_back(ShownTip(m_dialog));
            Accept(L"Secret");
        },
    });
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(tips, (std::vector<std::wstring>{L"password", L"", L"password"}));
    EXPECT_EQ(m_dialog.DataKey(), key);
}

// The user mistypes, is refused, and types the password again at once: what
// was typed is replaced, and the tip swallows no key.
TEST_F(PasswordDlgTest, AfterARefusalTypingTheRightPasswordAtOnceIsAccepted) {
    const CipherKey key = test_library::Make(L"Secret", {});
    HWND field = nullptr;
    DialogScript script({
        [&](HWND dialog) {
            ::SetForegroundWindow(dialog);
            field = m_dialog.FindById(L"password")->Hwnd();
            Accept(L"Secert");
        },
        [&](HWND dialog) {
            EXPECT_EQ(ShownTip(m_dialog), L"password");
            EXPECT_EQ(::GetForegroundWindow(), dialog) << "the tip leaves the dialog active";
            EXPECT_EQ(::GetFocus(), field);
            DWORD start = 0, end = 0;
            ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                           reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 0u);
            EXPECT_EQ(end, 6u) << "the refused password is selected";
            wyn_test::TypeKeys(L"Secret", {VK_RETURN});
        },
    });
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(m_dialog.DataKey(), key);
}

TEST_F(PasswordDlgTest, WithoutAStoredKeyOnlyCancelEnds) {
    WriteChunks("<kelvo><chunks/></kelvo>");
    std::vector<std::wstring> tips;
    DialogScript script({
        [&](HWND) { Accept(L""); },
        [&](HWND) {
            tips.push_back(ShownTip(m_dialog));
            Accept(L"anything");
        },
        [&](HWND) {
            tips.push_back(ShownTip(m_dialog));
            wyn_test::ClickCancel(m_dialog.Hwnd());
        },
    });
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDCANCEL);
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
        CPasswordDlg run(&m_engine);
        run.SetRememberPeriod(c.stored);
        std::wstring shown;
        DialogScript script({[&](HWND) {
            shown = wyn_test::SelectedValue(run.FindById(L"remember")->Hwnd());
            if (c.pick >= 0)
                ::SendMessageW(run.FindById(L"remember")->Hwnd(), CB_SETCURSEL,
                               static_cast<WPARAM>(c.pick), 0);
            SetText(run, L"password", L"Secret");
            ClickOk(run.Hwnd());
        }});
        EXPECT_EQ(run.DoModal(nullptr), IDOK);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(shown, c.shown) << c.stored;
        EXPECT_EQ(run.RememberPeriod(), c.chosen) << c.stored;
    }
}
