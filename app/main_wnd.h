#pragma once
// The application object: owns everything the program keeps while it runs and
// carries the hidden "KV_MAIN_WND" window that receives the tray, hotkey and
// timer messages.

#include <windows.h>

#include "app/vt_wnd.h"
#include "library/chunk_store.h"

class CMainWnd : public CVtWnd {
public:
    explicit CMainWnd(HINSTANCE instance);
    ~CMainWnd() override;

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    // Registers the window class and creates the hidden window.
    bool CreateHiddenWindow();

    HINSTANCE instance() const noexcept { return m_hInstance; }
    // The chunk library, loaded when the application object is built.
    CChunkStore& chunks() noexcept { return m_chunks; }

private:
    HINSTANCE m_hInstance;
    CChunkStore m_chunks;
};
