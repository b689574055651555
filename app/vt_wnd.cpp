#include "app/vt_wnd.h"

namespace {

constexpr wchar_t kThisProperty[] = L"CVtWnd_this";
constexpr std::size_t kMaxClassName = 255;

} // namespace

CVtWnd::CVtWnd() {
    SetClassName(L"VANTREL_WINDOW");
}

CVtWnd::~CVtWnd() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void CVtWnd::PreRegisterClass(WNDCLASSEXW&) {}

LRESULT CVtWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CVtWnd::SetClassName(std::wstring_view name) {
    m_className.assign(name.substr(0, kMaxClassName));
}

void CVtWnd::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(instance, m_className.c_str(), &wc))
        return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &CVtWnd::SharedWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = m_className.c_str();
    PreRegisterClass(wc);
    ::RegisterClassExW(&wc);
}

HWND CVtWnd::Create(HINSTANCE instance, DWORD ex_style, const wchar_t* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menu) {
    HWND hwnd = ::CreateWindowExW(ex_style, m_className.c_str(), title, style, x, y, width, height,
                                  parent, menu, instance, this);
    if (hwnd && !m_hWnd)
        m_hWnd = hwnd;
    return hwnd;
}

LRESULT CALLBACK CVtWnd::SharedWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    try {
        if (msg == WM_CREATE) {
            auto* self = static_cast<CVtWnd*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            if (!self)
                return ::DefWindowProcW(hwnd, msg, wp, lp);
            ::SetPropW(hwnd, kThisProperty, self);
            self->m_hWnd = hwnd;
            return self->WindowProc(hwnd, msg, wp, lp);
        }
        auto* self =
            ::IsWindow(hwnd) ? static_cast<CVtWnd*>(::GetPropW(hwnd, kThisProperty)) : nullptr;
        if (!self || self->m_hWnd != hwnd)
            return ::DefWindowProcW(hwnd, msg, wp, lp);
        if (msg == WM_DESTROY) {
            // The binding goes after the object's own handling, even if that fails.
            struct Unbind {
                HWND hwnd;
                CVtWnd* self;
                ~Unbind() {
                    ::RemovePropW(hwnd, kThisProperty);
                    self->m_hWnd = nullptr;
                }
            } unbind{hwnd, self};
            return self->WindowProc(hwnd, msg, wp, lp);
        }
        return self->WindowProc(hwnd, msg, wp, lp);
    } catch (...) {
        // Out of memory inside a handler: fail the creation, otherwise drop the message.
        return msg == WM_CREATE ? -1 : 0;
    }
}
