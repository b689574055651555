#include "app/settings_dlg.h"

#include "app/autostart.h"

bool CSettingsDlg::OnInitDialog() {
    CWynDialog::OnInitDialog();
    m_autostart = IsAutostartOn() ? 1 : 0;
    DoDataExchange(false, nullptr);
    return true;
}

bool CSettingsDlg::CanClose(int reason) {
    if (reason != kAccept)
        return true;
    const int was = m_autostart;
    DoDataExchange(true, nullptr);
    if (m_autostart != was)
        SetAutostart(m_autostart != 0);
    return true;
}

void CSettingsDlg::DoDataExchange(bool save, CWynElement* scope) {
    Settings& s = m_settings;
    for (const auto& record : {
             CWynExchange::Int(L"paste_on_dblclick", s.paste_on_dblclick),
             CWynExchange::Int(L"close_on_paste", s.close_on_paste),
             CWynExchange::Int(L"autostart", m_autostart),
             CWynExchange::Int(L"show_onstart", s.show_onstart),
             CWynExchange::UInt16(L"hotkey", s.hotkey),
             CWynExchange::Int(L"paste_delay", s.paste_delay),
             CWynExchange::Int(L"switch_delay", s.switch_delay),
             CWynExchange::Int(L"restore_clipboard", s.restore_clipboard),
         })
        Exchange(save, record, scope);
}
