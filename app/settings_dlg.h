#pragma once
// The settings dialog: edits a copy of the settings record and switches
// start with Windows.

#include "app/settings.h"
#include "wyn/host/wyn_dialog.h"

class CSettingsDlg : public CWynDialog {
public:
    CSettingsDlg(CWynEngine* engine, const Settings& settings)
        : CWynDialog(L"res:settings.xml", engine), m_settings(settings) {}

    bool OnInitDialog() override;
    // On accept, reads the controls back and writes the autostart entry only
    // when its box changed. Always agrees to close.
    bool CanClose(int reason) override;
    void DoDataExchange(bool save, CWynElement* scope) override;

    const Settings& CurrentSettings() const noexcept { return m_settings; }

private:
    int m_autostart = 0;
    Settings m_settings;
};
