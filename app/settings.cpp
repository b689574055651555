#include "app/settings.h"

#include "library/xml_props.h"

void LoadSettings(Settings& s) {
    auto xml = OpenSettingsXml();
    if (!xml->Select(L"settings", false))
        return;
    s.paste_on_dblclick = xml->GetIntAttr(L"paste-on-dblclick", 1);
    s.hotkey = static_cast<std::uint16_t>(xml->GetUIntAttr(L"hotkey"));
    s.close_on_paste = xml->GetIntAttr(L"close-on-paste", 0);
    s.remember_password = xml->GetIntAttr(L"remember-password", 5);
    s.show_onstart = xml->GetIntAttr(L"show-onstart", 1);
    s.paste_delay = xml->GetIntAttr(L"paste-delay", 20);
    s.switch_delay = xml->GetIntAttr(L"switch-delay", 50);
    // Absent in the files of earlier versions: on.
    s.restore_clipboard = xml->GetIntAttr(L"restore-clipboard", 1);
}

void SaveSettings(const Settings& s) {
    auto xml = OpenSettingsXml();
    if (!xml->Select(L"settings", true))
        return;
    xml->SetIntAttr(L"paste-on-dblclick", s.paste_on_dblclick);
    xml->SetIntAttr(L"hotkey", s.hotkey);
    xml->SetIntAttr(L"close-on-paste", s.close_on_paste);
    xml->SetIntAttr(L"remember-password", s.remember_password);
    xml->SetIntAttr(L"show-onstart", s.show_onstart);
    xml->SetIntAttr(L"paste-delay", s.paste_delay);
    xml->SetIntAttr(L"switch-delay", s.switch_delay);
    xml->SetIntAttr(L"restore-clipboard", s.restore_clipboard);
    xml->Save();
}

HotkeyRegistration TranslateHotkey(std::uint16_t hotkey) {
    HotkeyRegistration r{0, static_cast<UINT>(hotkey & 0xFF)};
    if (hotkey & kHotkeyShift)
        r.modifiers |= MOD_SHIFT;
    if (hotkey & kHotkeyCtrl)
        r.modifiers |= MOD_CONTROL;
    if (hotkey & kHotkeyAlt)
        r.modifiers |= MOD_ALT;
    if (hotkey & kHotkeyWin)
        r.modifiers |= MOD_WIN;
    return r;
}
