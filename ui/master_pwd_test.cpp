#include "ui/master_pwd.h"

#include <gtest/gtest.h>

#include "library/test_library.h"
#include "ui/dialog_test.h"

using kelvo::CipherKey;
using test_library::PasswordElement;
using wyn_test::ClickOk;
using wyn_test::DialogScript;
using wyn_test::SetText;
using wyn_test::ShownTip;

namespace {

class MasterPwdTest : public DialogTest {
protected:
    HWND Window(const wchar_t* id) { return m_dialog.FindById(id)->Hwnd(); }
    // Types the three fields and presses OK.
    void Accept(const wchar_t* old_password, const wchar_t* password, const wchar_t* confirmation) {
        SetText(m_dialog, L"old-password", old_password);
        SetText(m_dialog, L"password", password);
        SetText(m_dialog, L"password2", confirmation);
        ClickOk(m_dialog.Hwnd());
    }
    // Closes the tip as a click on it does, so that a tip seen next is new.
    void DismissTip() {
        ::SendMessageW(m_dialog.ContextHelp().TipWindow(), WM_LBUTTONDOWN, 0, 0);
        EXPECT_EQ(ShownTip(m_dialog), L"");
    }

    CMasterPwd m_dialog{&m_engine};
};

const std::vector<std::wstring> kTexts = {L"first [TAB] secret", L"second\r\nline"};

} // namespace

TEST_F(MasterPwdTest, FirstSettingWithTheOldFieldDisabledStoresANewKey) {
    m_dialog.SetNewLibrary(true); // no chunks.xml yet
    bool old_enabled = true, label_enabled = true;
    DialogScript script({[&](HWND) {
        old_enabled = ::IsWindowEnabled(Window(L"old-password"));
        label_enabled = ::IsWindowEnabled(Window(L"l-old-password"));
        Accept(L"", L"Secret", L"Secret");
    }});
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(old_enabled);
    EXPECT_FALSE(label_enabled);
    EXPECT_EQ(PasswordElement(ChunksFile()).size(), 172u);
    CipherKey key;
    EXPECT_TRUE(VerifyMasterPassword(L"Secret", key));
}

TEST_F(MasterPwdTest, ChangingNeedsTheOldPasswordAndKeepsTheDataKey) {
    const CipherKey key = test_library::Make(L"Old", kTexts);
    m_dialog.SetHasPassword(true);
    const std::string before = ChunksFile();
    std::string after_wrong, after_empty;
    DialogScript script({
        [&](HWND dialog) {
            ::SetForegroundWindow(dialog);
            EXPECT_TRUE(::IsWindowEnabled(Window(L"old-password")));
            Accept(L"old", L"New", L"New");
        },
        [&](HWND) {
            EXPECT_EQ(ShownTip(m_dialog), L"old-password");
            after_wrong = ChunksFile();
            DismissTip();
            EXPECT_EQ(::GetFocus(), Window(L"old-password")) << "back in the field at fault";
            Accept(L"", L"New", L"New");
        },
        [&](HWND) {
            EXPECT_EQ(ShownTip(m_dialog), L"old-password") << "shown again";
            after_empty = ChunksFile();
            Accept(L"olD", L"New", L"New");
        },
        [&](HWND) {
            // Typed again at once, over the refused one, with the tip showing.
            EXPECT_EQ(ShownTip(m_dialog), L"old-password");
            EXPECT_EQ(::GetFocus(), Window(L"old-password"));
            wyn_test::TypeKeys(L"Old", {VK_RETURN});
        },
    });
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(after_wrong, before);
    EXPECT_EQ(after_empty, before);

    EXPECT_NE(PasswordElement(ChunksFile()), PasswordElement(before));
    CipherKey back;
    EXPECT_FALSE(VerifyMasterPassword(L"Old", back));
    ASSERT_TRUE(VerifyMasterPassword(L"New", back));
    EXPECT_EQ(back, key);
    EXPECT_EQ(test_library::Decrypted(back), kTexts);
}

TEST_F(MasterPwdTest, ConfirmationsThatDifferAreRefusedAndBothEmptyChangesNothing) {
    test_library::Make(L"Old", kTexts);
    m_dialog.SetHasPassword(true);
    const std::string before = ChunksFile();
    const struct {
        const wchar_t* password;
        const wchar_t* confirmation;
    } mismatches[] = {
        {L"Secret", L"secret"}, {L"Secret", L""}, {L"", L"Secret"}, {L"Secret", L"Secret "}};
    std::vector<DialogScript::Step> steps;
    for (const auto& m : mismatches) {
        steps.push_back([&](HWND) { Accept(L"Old", m.password, m.confirmation); });
        steps.push_back([&](HWND) {
            EXPECT_EQ(ShownTip(m_dialog), L"password") << m.password << " / " << m.confirmation;
            EXPECT_EQ(ChunksFile(), before);
            DismissTip();
        });
    }
    // Whatever the old-password field holds.
    steps.push_back([&](HWND) { Accept(L"wrong", L"", L""); });
    DialogScript script(std::move(steps));
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(ChunksFile(), before);
}

TEST_F(MasterPwdTest, BothEmptyOnAFirstSettingWritesNothing) {
    DialogScript script({[&](HWND) { Accept(L"", L"", L""); }});
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_FALSE(test_files::Exists(m_chunksPath));
}

TEST_F(MasterPwdTest, ASaveThatFailsIsToldAndTheDialogStaysWithNothingChanged) {
    test_library::Make(L"Old", kTexts);
    m_dialog.SetHasPassword(true);
    const std::string before = ChunksFile();
    // Another program holds the file and lets nobody replace it.
    HANDLE held = ::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // What the system answers to the save.
    const KeyWrite refused = SetMasterPassword(L"New", L"Old", false);
    ASSERT_EQ(refused.outcome, KeyWrite::Outcome::kNotSaved);
    const DWORD error = refused.error;
    CipherKey key;
    std::wstring caption, message;
    bool dialog_in_front = false;
    DialogScript script({
        [&](HWND) { Accept(L"Old", L"New", L"New"); },
        [&](HWND box) {
            // The message box, in front of the dialog it disabled.
            wchar_t text[64] = {};
            ::GetWindowTextW(box, text, 64);
            caption = text;
            message = wyn_test::MessageBoxText(box);
            ClickOk(box);
        },
        [&](HWND front) {
            dialog_in_front = front == m_dialog.Hwnd();
            wyn_test::ClickCancel(front);
        },
    });
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_TRUE(script.Finished());
    ::CloseHandle(held);

    EXPECT_EQ(caption, L"Kelvo");
    wchar_t reason[256] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                     reason, 256, nullptr);
    const std::wstring first_line(reason, std::wcscspn(reason, L"\r\n"));
    ASSERT_FALSE(first_line.empty());
    EXPECT_NE(message.find(L"not saved"), std::wstring::npos) << message;
    EXPECT_NE(message.find(m_chunksPath), std::wstring::npos) << message;
    EXPECT_NE(message.find(first_line), std::wstring::npos) << message;
    EXPECT_TRUE(dialog_in_front) << "still open after the message";
    EXPECT_EQ(ChunksFile(), before);
    EXPECT_TRUE(VerifyMasterPassword(L"Old", key));
}

TEST_F(MasterPwdTest, APasswordSetSinceTheDialogOpenedIsNeverReplaced) {
    // The dialog saw no password: the file was held when it opened, or
    // another PC set one while it was open.
    const CipherKey key = test_library::Make(L"Old", kTexts);
    const std::string before = ChunksFile();
    std::wstring message;
    bool old_enabled = false;
    std::string after_refusal;
    DialogScript script({
        [&](HWND) { Accept(L"", L"New", L"New"); },
        [&](HWND box) {
            message = wyn_test::MessageBoxText(box);
            ClickOk(box);
        },
        [&](HWND) {
            after_refusal = ChunksFile();
            old_enabled = ::IsWindowEnabled(Window(L"old-password"));
            // What was typed is still there: only the old password is added.
            SetText(m_dialog, L"old-password", L"Old");
            ClickOk(m_dialog.Hwnd());
        },
    });
    EXPECT_EQ(m_dialog.DoModal(nullptr), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_NE(message.find(L"has a master password by now"), std::wstring::npos) << message;
    EXPECT_EQ(after_refusal, before) << "the wrapped key was not replaced";
    EXPECT_TRUE(old_enabled);
    CipherKey back;
    ASSERT_TRUE(VerifyMasterPassword(L"New", back));
    EXPECT_EQ(back, key) << "the same data key, wrapped anew";
    EXPECT_EQ(test_library::Decrypted(back), kTexts);
}

TEST_F(MasterPwdTest, ALibraryThatCannotBeReadGetsNoPasswordAlone) {
    struct Case {
        const char* name;
        std::string file; // empty: missing
        const wchar_t* told;
    };
    const Case cases[] = {
        {"missing", "", L"The library file is missing"},
        {"damaged", "<?xml version=\"1.0\"?><kelvo><chunks><chunk id=\"1\">cut",
         L"could not be read as a library"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveDataFiles();
        if (!c.file.empty())
            WriteChunks(c.file);
        CMasterPwd dialog(&m_engine);
        std::wstring message;
        DialogScript script({
            [&](HWND) {
                SetText(dialog, L"password", L"New");
                SetText(dialog, L"password2", L"New");
                ClickOk(dialog.Hwnd());
            },
            [&](HWND box) {
                message = wyn_test::MessageBoxText(box);
                ClickOk(box);
            },
            [&](HWND front) { wyn_test::ClickCancel(front); },
        });
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_TRUE(script.Finished());
        EXPECT_NE(message.find(c.told), std::wstring::npos) << message;
        EXPECT_NE(message.find(m_chunksPath), std::wstring::npos) << message;
        EXPECT_EQ(ChunksFile(), c.file) << "nothing written";
    }
}

TEST_F(MasterPwdTest, OpenedForTheLibraryAsItIs) {
    // The first edit box is the old password's.
    auto old_field_enabled = [this] {
        BOOL enabled = -1;
        DialogScript script({[&](HWND shown) {
            enabled = ::IsWindowEnabled(::FindWindowExW(shown, nullptr, L"Edit", nullptr));
            wyn_test::ClickCancel(shown);
        }});
        EditMasterPassword(m_engine, nullptr);
        EXPECT_TRUE(script.Finished());
        return enabled;
    };
    EXPECT_EQ(old_field_enabled(), FALSE);
    test_library::Make(L"Old", {});
    EXPECT_EQ(old_field_enabled(), TRUE);
}
