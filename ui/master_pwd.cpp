#include "ui/master_pwd.h"

#include <string>

#include "base/system_message.h"
#include "library/data_folder.h"
#include "library/master_password.h"
#include "wyn/engine/wyn_engine.h"

bool CMasterPwd::OnInitDialog() {
    CWynDialog::OnInitDialog();
    if (!m_hasPassword) {
        for (const wchar_t* id : {L"l-old-password", L"old-password"}) {
            if (CWynElement* element = FindById(id))
                element->SetDisabled(true);
        }
    }
    return true;
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

    kelvo::CipherKey data_key;
    if (m_hasPassword) {
        if (m_oldPassword.IsEmpty() || !VerifyMasterPassword(m_oldPassword.View(), data_key)) {
            RefuseSecret(*this, L"old-password");
            return false;
        }
    } else if (!MakeDataKey(data_key)) {
        ShowNotSaved(Engine()->GetString(L"WYN_MSG_NO_RANDOM_KEY", nullptr,
                                         L"Windows could not make a random key."));
        return false;
    }
    if (!StoreDataKey(m_password.View(), data_key)) {
        const DWORD error = ::GetLastError();
        ShowNotSaved(std::wstring(Engine()->GetString(L"WYN_MSG_LIBRARY_NOT_WRITTEN", nullptr,
                                                      L"The library could not be written:")) +
                     L"\n" + GetDataFolder() + L"chunks.xml\n\n" + kelvo::SystemMessage(error));
        return false;
    }
    return true;
}

void EditMasterPassword(CWynEngine& engine, HWND owner) {
    CMasterPwd dialog(&engine);
    dialog.SetHasPassword(HasMasterPassword());
    dialog.DoModal(owner);
}
