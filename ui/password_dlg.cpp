#include "ui/password_dlg.h"

#include "base/utf16.h"
#include "library/master_password.h"
#include "ui/secret_text.h"

bool CPasswordDlg::OnInitDialog() {
    CWynDialog::OnInitDialog();
    DoDataExchange(false, nullptr);
    return true;
}

bool CPasswordDlg::CanClose(int reason) {
    if (reason != kAccept)
        return true;
    CSecretText password;
    password.Read(*this, L"password");
    const bool unwrapped = m_wrapped
                               ? UnwrapDataKey(kelvo::AsU16(password.View()), *m_wrapped, m_dataKey)
                               : VerifyMasterPassword(password.View(), m_dataKey);
    if (!unwrapped) {
        RefuseSecret(*this, L"password");
        return false;
    }
    DoDataExchange(true, nullptr);
    return true;
}

void CPasswordDlg::DoDataExchange(bool save, CWynElement* scope) {
    const CWynElement* remember = FindById(L"remember");
    if (save && (!remember || !remember->Hwnd() ||
                 ::SendMessageW(remember->Hwnd(), CB_GETCURSEL, 0, 0) == CB_ERR))
        return; // "no selection" would read as -1, "until restart", which nobody chose
    Exchange(save, CWynExchange::Int(L"remember", m_rememberPeriod), scope);
}
