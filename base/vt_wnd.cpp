#include "base/vt_wnd.h"

namespace {

constexpr wchar_t kThisProperty[] = L"CVtWnd_this";
constexpr std::size_t kMaxClassName = 255;

} // namespace

CVtWnd::CVtWnd() {
    SetClassName(L"VANTREL_WINDOW");
}

void CVtWnd::PreRegisterClass(WNDCLASSEXW&) {}

LRESULT CVtWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CVtWnd::SetClassName(std::wstring_view name) {
    m_className.assign(name.substr(0, kMaxClassName));
}

void CVtWnd::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = kelvo::ClassDescription(
        instance, m_className.c_str(),
        &kelvo::OwnWindowProc<kThisProperty, &CVtWnd::WindowProc, &CVtWnd::m_window>, 0, nullptr);
    PreRegisterClass(wc);
    kelvo::RegisterWindowClass(wc);
}

HWND CVtWnd::Create(HINSTANCE instance, DWORD ex_style, const wchar_t* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu) {
    return ::CreateWindowExW(ex_style, m_className.c_str(), title, style, x, y, width, height,
                             parent, menu, instance, this);
}
