#include "ui/master_pwd.h"

#include <string>

#include "base/system_message.h"
#include "library/data_folder.h"
#include "library/master_password.h"
#include "wyn/engine/wyn_engine.h"

bool CMasterPwd::OnInitDialog() {
    CWynDialog::OnInitDialog();
    if (!m_hasPassword)
        ShowOldPassword(false);
    return true;
}

void CMasterPwd::ShowOldPassword(bool has_password) {
    m_hasPassword = has_password;
    for (const wchar_t* id : {L"l-old-password", L"old-password"}) {
        if (CWynElement* element = FindById(id))
            element->SetDisabled(!has_password);
    }
}

void CMasterPwd::DoDataExchange(bool save, CWynElement*) {
    if (!save)
        return;
    m_password.Read(*this, L"password");
    m_confirmation.Read(*this, L"password2");
    m_oldPassword.Read(*this, L"old-password");
}

void CMasterPwd::ShowNotSaved(std::wstring_view reason) {
    const CWynEngine& text_table = *Engine();
    std::wstring text = text_table.GetString(L"WYN_MSG_MASTER_PASSWORD_NOT_SAVED", nullptr,
                                             L"The master password was not saved.");
    text.append(L"\n\n").append(reason);
    ::MessageBoxW(Hwnd(), text.c_str(), text_table.GetString(L"appname", nullptr, L"Kelvo"),
                  MB_OK | MB_ICONERROR);
}

bool CMasterPwd::CanClose(int reason) {
    if (reason != kAccept)
        return true;
    DoDataExchange(true, nullptr);
    if (m_password.View() != m_confirmation.View()) {
        RefuseSecret(*this, L"password");
        return false;
    }
    if (m_password.IsEmpty())
        return true; // nothing to set; a master password is never removed

    if (m_hasPassword && m_oldPassword.IsEmpty()) {
        RefuseSecret(*this, L"old-password");
        return false;
    }
    const std::optional<std::wstring_view> old_password =
        m_hasPassword ? std::optional(m_oldPassword.View()) : std::nullopt;
    const KeyWrite result = SetMasterPassword(m_password.View(), old_password, m_newLibrary);
    const CWynEngine& text_table = *Engine();
    const std::wstring library = GetDataFolder() + L"chunks.xml";
    using Outcome = KeyWrite::Outcome;
    switch (result.outcome) {
    case Outcome::kStored:
        return true;
    case Outcome::kWrongPassword:
        RefuseSecret(*this, L"old-password");
        return false;
    case Outcome::kPasswordExists:
        // Set on another computer, or not seen when the dialog opened.
        ShowOldPassword(true);
        ShowNotSaved(text_table.GetString(
            L"WYN_MSG_MASTER_PASSWORD_EXISTS", nullptr,
            L"The library has a master password by now. Type it as the old password to change "
            L"it."));
        if (CWynElement* element = FindById(L"old-password"))
            element->FocusFirst();
        return false;
    case Outcome::kPasswordGone:
        ShowOldPassword(false);
        ShowNotSaved(text_table.GetString(
            L"WYN_MSG_MASTER_PASSWORD_GONE", nullptr,
            L"The library holds no master password any more. Press OK again to set the new one "
            L"as the first."));
        return false;
    case Outcome::kNoRandomKey:
        ShowNotSaved(text_table.GetString(L"WYN_MSG_NO_RANDOM_KEY", nullptr,
                                          L"Windows could not make a random key."));
        return false;
    case Outcome::kUnreadable: {
        std::wstring reason =
            std::wstring(text_table.GetString(L"WYN_MSG_LIBRARY_NOT_READ", nullptr,
                                              L"The library could not be read as a library:")) +
            L"\n" + library;
        if (result.state == FileState::kMissing)
            reason = std::wstring(text_table.GetString(L"WYN_MSG_LIBRARY_MISSING", nullptr,
                                                       L"The library file is missing:")) +
                     L"\n" + library;
        if (result.error != ERROR_SUCCESS)
            reason += L"\n\n" + kelvo::SystemMessage(result.error);
        ShowNotSaved(reason);
        return false;
    }
    case Outcome::kNotSaved:
        ShowNotSaved(std::wstring(text_table.GetString(L"WYN_MSG_LIBRARY_NOT_WRITTEN", nullptr,
                                                       L"The library could not be written:")) +
                     L"\n" + library + L"\n\n" + kelvo::SystemMessage(result.error));
        return false;
    }
    return false;
}

void EditMasterPassword(CWynEngine& engine, HWND owner, bool new_library) {
    CMasterPwd dialog(&engine);
    dialog.SetHasPassword(HasMasterPassword());
    dialog.SetNewLibrary(new_library);
    dialog.DoModal(owner);
}
