#include "app/main_wnd.h"

namespace {

// The text table's default for "appname"; nothing fills the table.
constexpr wchar_t kAppName[] = L"Kelvo";

} // namespace
CMainWnd::CMainWnd(HINSTANCE instance) : m_hInstance(instance) {
    SetClassName(L"KV_MAIN_WND");
    m_chunks.LoadChunks();
}

CMainWnd::~CMainWnd() {
    if (hwnd())
        ::DestroyWindow(hwnd());
}

bool CMainWnd::CreateHiddenWindow() {
    RegisterWindowClass(m_hInstance);
    // Never shown: it exists for its messages.
    return Create(m_hInstance, 0, kAppName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr) != nullptr;
}

LRESULT CMainWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}
