#pragma once
// The application object: owns everything the program keeps while it runs and
// carries the hidden "KV_MAIN_WND" window with the tray icon, the global hotkey
// and the timers.

#include <windows.h>

#include <string>

#include "app/settings.h"
#include "app/vt_wnd.h"
#include "base/win_handles.h"
#include "library/chunk_store.h"

class CMainWnd : public CVtWnd {
public:
    // Tray icon notifications arrive as this message.
    static constexpr UINT kTrayMessage = WM_USER + 100;
    static constexpr UINT kTrayIconId = 0;
    static constexpr int kIconResource = 101;

    explicit CMainWnd(HINSTANCE instance);
    ~CMainWnd() override;

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    // Registers the window class and creates the hidden window.
    bool CreateHiddenWindow();

    void AddTrayIcon();
    void RemoveTrayIcon();
    void RegisterAppHotkey();
    void UnregisterAppHotkey();
    void OpenMainWindow();

    HINSTANCE instance() const noexcept { return m_hInstance; }
    // The chunk library, loaded when the application object is built.
    CChunkStore& chunks() noexcept { return m_chunks; }
    Settings& settings() noexcept { return m_settings; }
    ATOM hotkey_atom() const noexcept { return m_hotkeyAtom; }

private:
    void OnCreate();
    void ShowTrayMenu();
    std::wstring AppName() const;

    UINT m_taskbarCreated;
    HINSTANCE m_hInstance;
    CChunkStore m_chunks;
    Settings m_settings;
    ATOM m_hotkeyAtom = 0;
    kelvo::unique_hicon m_trayIcon;
};
