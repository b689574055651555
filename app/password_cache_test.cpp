// The password cache of the application object: ObtainDataKey with the
// password dialog, the remember period and timer 2.

#include <gtest/gtest.h>

#include "app/main_wnd.h"
#include "library/portable_data_test.h"
#include "library/test_library.h"
#include "ui/master_pwd.h"
#include "wyn/testing/dialog_script.h"

using kelvo::CipherKey;
using wyn_test::ClickCancel;
using wyn_test::ClickOk;
using wyn_test::DialogScript;

namespace {

const std::vector<std::wstring> kTexts = {L"user[TAB]pass[ENTER]"};

// The dialog's n-th edit box, counted from 0 in the order of the description.
HWND Edit(HWND dialog, int n) {
    HWND edit = nullptr;
    for (int i = 0; i <= n; ++i)
        edit = ::FindWindowExW(dialog, edit, L"Edit", nullptr);
    return edit;
}

HWND Remember(HWND dialog) {
    return ::FindWindowExW(dialog, nullptr, L"ComboBox", nullptr);
}

// Types the password into the password dialog, picks the period with that
// item index (-1: leaves it), and accepts.
DialogScript::Step Enter(const wchar_t* password, int pick = -1) {
    return [=](HWND dialog) {
        ::SetWindowTextW(Edit(dialog, 0), password);
        if (pick >= 0)
            ::SendMessageW(Remember(dialog), CB_SETCURSEL, static_cast<WPARAM>(pick), 0);
        ClickOk(dialog);
    };
}

constexpr int k15Minutes = 3; // the item index of 15 minutes

class PasswordCacheTest : public PortableDataTest {
protected:
    void Start(const char* remember) {
        WriteSettings(std::string("<kelvo><settings show-onstart=\"0\" remember-password=\"") +
                      remember + "\"/></kelvo>");
        ASSERT_TRUE(m_app.CreateHiddenWindow());
        m_key = test_library::Make(L"Secret", kTexts);
    }
    // Asks the application for the data key while `steps` answer its
    // dialogs (none: no dialog may show); whether it delivered the key.
    bool Obtain(std::vector<DialogScript::Step> steps) {
        DialogScript script(std::move(steps), 3000);
        CipherKey delivered;
        const bool ok = m_app.ObtainDataKey(nullptr, delivered);
        EXPECT_TRUE(script.Finished()) << script.Done() << " steps ran";
        if (ok) {
            EXPECT_EQ(delivered, m_key);
        }
        return ok;
    }
    // The period the password dialog of `application` preselects; cancels it.
    static std::wstring Preselected(CMainWnd& application) {
        std::wstring shown;
        DialogScript script({[&](HWND dialog) {
            shown = wyn_test::SelectedValue(Remember(dialog));
            ClickCancel(dialog);
        }});
        CipherKey delivered;
        EXPECT_FALSE(application.ObtainDataKey(nullptr, delivered));
        EXPECT_TRUE(script.Finished());
        return shown;
    }
    bool TimerRuns() { return ::KillTimer(m_app.Hwnd(), CMainWnd::kPasswordTimer) != FALSE; }

    CMainWnd m_app{::GetModuleHandleW(nullptr)};
    CipherKey m_key;
};

} // namespace

TEST_F(PasswordCacheTest, PeriodZeroAsksEveryTime) {
    Start("0");
    EXPECT_TRUE(Obtain({Enter(L"Secret")}));
    EXPECT_FALSE(m_app.IsPasswordCached());
    EXPECT_TRUE(Obtain({Enter(L"Secret")}));
    EXPECT_FALSE(TimerRuns());
}

TEST_F(PasswordCacheTest, OneMinuteEndsWithTheTimerHoweverOftenTheKeyWasUsed) {
    Start("1");
    EXPECT_TRUE(Obtain({Enter(L"Secret")}));
    for (int use = 0; use < 3; ++use)
        EXPECT_TRUE(Obtain({})) << "from the cache";
    // The minute is up.
    ::SendMessageW(m_app.Hwnd(), WM_TIMER, CMainWnd::kPasswordTimer, 0);
    EXPECT_FALSE(m_app.IsPasswordCached());
    EXPECT_FALSE(TimerRuns()) << "it fires once per caching";
    EXPECT_TRUE(Obtain({Enter(L"Secret")})) << "asked again";
    EXPECT_TRUE(m_app.IsPasswordCached());
    EXPECT_TRUE(TimerRuns());
}

TEST_F(PasswordCacheTest, UntilRestartLastsUntilForgetPasswordOrExit) {
    Start("-1");
    EXPECT_TRUE(Obtain({Enter(L"Secret")}));
    EXPECT_TRUE(m_app.IsPasswordCached());
    EXPECT_FALSE(TimerRuns());
    EXPECT_TRUE(Obtain({}));
    m_app.ForgetPassword();
    EXPECT_FALSE(m_app.IsPasswordCached());
    EXPECT_TRUE(Obtain({Enter(L"Secret")}));
    ::DestroyWindow(m_app.Hwnd());
    EXPECT_FALSE(m_app.IsPasswordCached());
}

TEST_F(PasswordCacheTest, APickedPeriodIsSavedAndPreselectedAlsoAfterARestart) {
    Start("5");
    EXPECT_TRUE(Obtain({Enter(L"Secret", k15Minutes)}));
    EXPECT_EQ(m_app.CurrentSettings().remember_password, 15);
    EXPECT_NE(SettingsFile().find("remember-password=\"15\""), std::string::npos) << SettingsFile();
    m_app.ForgetPassword();
    EXPECT_EQ(Preselected(m_app), L"15");

    CMainWnd restarted(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(restarted.CreateHiddenWindow());
    EXPECT_EQ(Preselected(restarted), L"15");
}

TEST_F(PasswordCacheTest, AStoredPeriodNoneOfTheListedIsKeptAndUsed) {
    Start("7");
    const std::string settings = SettingsFile();
    std::wstring shown;
    EXPECT_TRUE(Obtain({[&](HWND dialog) {
        shown = wyn_test::SelectedValue(Remember(dialog));
        Enter(L"Secret")(dialog);
    }}));
    EXPECT_EQ(shown, L"none");
    EXPECT_EQ(m_app.CurrentSettings().remember_password, 7);
    EXPECT_EQ(SettingsFile(), settings);
    EXPECT_TRUE(m_app.IsPasswordCached());
    EXPECT_TRUE(TimerRuns());
}

TEST_F(PasswordCacheTest, NothingChangesUntilTheRightPassword) {
    Start("5");
    const std::string settings = SettingsFile();
    std::string settings_meanwhile;
    EXPECT_FALSE(Obtain({Enter(L"secret", k15Minutes), [&](HWND dialog) {
                             settings_meanwhile = SettingsFile();
                             ClickCancel(dialog);
                         }}));
    EXPECT_EQ(settings_meanwhile, settings);
    EXPECT_EQ(SettingsFile(), settings);
    EXPECT_EQ(m_app.CurrentSettings().remember_password, 5);
    EXPECT_FALSE(m_app.IsPasswordCached());

    EXPECT_TRUE(Obtain({Enter(L"secret"), Enter(L"Secret", k15Minutes)}));
    EXPECT_EQ(m_app.CurrentSettings().remember_password, 15);
    EXPECT_TRUE(m_app.IsPasswordCached());
}

TEST_F(PasswordCacheTest, ACachedKeyStillWorksAfterTheMasterPasswordChanged) {
    Start("5");
    EXPECT_TRUE(Obtain({Enter(L"Secret")}));
    DialogScript script({[](HWND dialog) {
        ::SetWindowTextW(Edit(dialog, 0), L"Secret");
        ::SetWindowTextW(Edit(dialog, 1), L"New");
        ::SetWindowTextW(Edit(dialog, 2), L"New");
        ClickOk(dialog);
    }});
    EditMasterPassword(m_app.Engine(), nullptr);
    EXPECT_TRUE(script.Finished());
    CipherKey unwrapped;
    ASSERT_TRUE(VerifyMasterPassword(L"New", unwrapped));
    EXPECT_EQ(unwrapped, m_key);

    EXPECT_TRUE(Obtain({})) << "the cached key, which is still the data key";
    EXPECT_EQ(test_library::Decrypted(m_key), kTexts);
}
