#pragma once
// The "Set Master Password" dialog: sets the master password the first time
// (with a new random data key) or changes it (wrapping the same data key anew,
// after the old password unwrapped it). A master password cannot be removed.

#include <windows.h>

#include <string_view>

#include "ui/secret_text.h"
#include "wyn/host/wyn_dialog.h"

class CMasterPwd : public CWynDialog {
public:
    explicit CMasterPwd(CWynEngine* engine) : CWynDialog(L"res:master-password.xml", engine) {}

    // Without a master password the old-password field is disabled.
    void SetHasPassword(bool has_password) noexcept { m_hasPassword = has_password; }
    // The program holds no chunks: a missing chunks.xml may be made for the
    // first master password.
    void SetNewLibrary(bool new_library) noexcept { m_newLibrary = new_library; }

    bool OnInitDialog() override;
    // On accept: a confirmation that differs, or a wrong old password, is
    // refused with the field's tip; a new password stored in chunks.xml
    // closes the dialog. Whether a password exists is decided on the file as
    // it is then: one set (or gone) since the dialog opened, a library that
    // cannot be read and a save that failed are told in a message box, and
    // the dialog stays open with what was typed and nothing changed. Both new
    // fields empty: closes with nothing changed.
    bool CanClose(int reason) override;
    // Reads the three password fields (only that way: they start empty).
    void DoDataExchange(bool save, CWynElement* scope) override;

private:
    void ShowNotSaved(std::wstring_view reason);
    // Enables the old-password field as the file now says.
    void ShowOldPassword(bool has_password);

    bool m_hasPassword = false;
    bool m_newLibrary = false;
    CSecretText m_password;
    CSecretText m_confirmation;
    CSecretText m_oldPassword;
};

// Opens the master password dialog for the library as it is now, from the
// main window's menu item "Master password...". `new_library`: the program
// holds no chunks (see SetNewLibrary).
void EditMasterPassword(CWynEngine& engine, HWND owner, bool new_library = false);
