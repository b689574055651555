#pragma once
// The user's choices, kept in the "settings" section of settings.xml.

#include <windows.h>

#include <cstdint>

struct Settings {
    int paste_on_dblclick = 1; // 1: a double click pastes; 0: it opens the editor
    std::uint16_t hotkey = 0;  // HotkeyValue bits; 0: none
    int close_on_paste = 0;
    int remember_password = 5; // minutes; 0 never, -1 until exit
    int show_onstart = 1;
    int paste_delay = 20;  // ms before the paste is sent
    int switch_delay = 50; // ms after switching to the target window
    // 1: what the clipboard held comes back after a paste; 0: a plain chunk's
    // last text run stays on it (a secret never does)
    int restore_clipboard = 1;

    bool operator==(const Settings&) const = default;
};

// Leaves the record as it is when the section is missing.
void LoadSettings(Settings& settings);
void SaveSettings(const Settings& settings);

// A delay as slept: values from an edited file are used as they are, but a
// negative one waits nothing.
inline DWORD SleepMillis(int delay) {
    return delay > 0 ? static_cast<DWORD>(delay) : 0;
}

// The 16-bit hotkey value: low byte the virtual-key code, then these flags.
enum HotkeyFlags : std::uint16_t {
    kHotkeyShift = 0x100,
    kHotkeyCtrl = 0x200,
    kHotkeyAlt = 0x400,
    kHotkeyExtended = 0x800, // ignored when registering
    kHotkeyWin = 0x2000,
};

struct HotkeyRegistration {
    UINT modifiers; // MOD_* flags
    UINT key;       // virtual-key code

    bool operator==(const HotkeyRegistration&) const = default;
};

HotkeyRegistration TranslateHotkey(std::uint16_t hotkey);
