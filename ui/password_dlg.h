#pragma once
// The "Enter password" dialog: asks for the master password, unwraps the data
// key with it, and lets the user choose how long the key is remembered.

#include <optional>
#include <string>

#include "crypto/cipher.h"
#include "wyn/host/wyn_dialog.h"

class CPasswordDlg : public CWynDialog {
public:
    explicit CPasswordDlg(CWynEngine* engine) : CWynDialog(L"res:password.xml", engine) {}

    // Minutes; 0 none, -1 until the program ends. Preselected in "remember".
    void SetRememberPeriod(int minutes) noexcept { m_rememberPeriod = minutes; }
    int RememberPeriod() const noexcept { return m_rememberPeriod; }
    // Asks for the password that unwraps this wrapped data key (that of a
    // copy of the library) instead of the library's master password.
    void SetWrappedKey(std::u16string wrapped) { m_wrapped = std::move(wrapped); }
    // The data key, once the dialog was accepted.
    const kelvo::CipherKey& DataKey() const noexcept { return m_dataKey; }

    bool OnInitDialog() override;
    // On accept: a password that does not unwrap the data key is refused
    // with the field's tip, every time; the right one closes the dialog.
    bool CanClose(int reason) override;
    // "remember" as its item's value. With no item selected (a stored period
    // that is none of the listed ones) the period stays as it was.
    void DoDataExchange(bool save, CWynElement* scope) override;

private:
    kelvo::CipherKey m_dataKey;
    std::optional<std::u16string> m_wrapped;
    int m_rememberPeriod = 5;
};
