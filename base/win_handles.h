#pragma once
// Owners of the Win32 handles the program holds.

#include <windows.h>

#include "base/unique_any.h"

namespace kelvo {

namespace detail {
inline void FreeHandle(HANDLE h) noexcept {
    ::CloseHandle(h);
}
inline void FreeWindow(HWND h) noexcept {
    ::DestroyWindow(h);
}
inline void FreeGdiObject(HGDIOBJ h) noexcept {
    ::DeleteObject(h);
}
inline void FreeDc(HDC h) noexcept {
    ::DeleteDC(h);
}
inline void FreeIcon(HICON h) noexcept {
    ::DestroyIcon(h);
}
inline void FreeMenu(HMENU h) noexcept {
    ::DestroyMenu(h);
}
inline void FreeGlobal(HGLOBAL h) noexcept {
    ::GlobalFree(h);
}
inline void FreeLoadedModule(HMODULE h) noexcept {
    ::FreeLibrary(h);
}
inline void FreeKey(HKEY h) noexcept {
    ::RegCloseKey(h);
}
inline void FreeAtom(ATOM a) noexcept {
    ::GlobalDeleteAtom(a);
}
inline void FreeHook(HHOOK h) noexcept {
    ::UnhookWindowsHookEx(h);
}
} // namespace detail

using UniqueHandle = UniqueAny<HANDLE, detail::FreeHandle>;
using UniqueHwnd = UniqueAny<HWND, detail::FreeWindow>;
using UniqueGdi = UniqueAny<HGDIOBJ, detail::FreeGdiObject>;
using UniqueHbitmap = UniqueAny<HBITMAP, detail::FreeGdiObject>;
using UniqueHfont = UniqueAny<HFONT, detail::FreeGdiObject>;
using UniqueHbrush = UniqueAny<HBRUSH, detail::FreeGdiObject>;
using UniqueHpen = UniqueAny<HPEN, detail::FreeGdiObject>;
using UniqueHrgn = UniqueAny<HRGN, detail::FreeGdiObject>;
using UniqueHdc = UniqueAny<HDC, detail::FreeDc>;
using UniqueHicon = UniqueAny<HICON, detail::FreeIcon>;
using UniqueHmenu = UniqueAny<HMENU, detail::FreeMenu>;
using UniqueHglobal = UniqueAny<HGLOBAL, detail::FreeGlobal>;
using UniqueHmodule = UniqueAny<HMODULE, detail::FreeLoadedModule>;
using UniqueHkey = UniqueAny<HKEY, detail::FreeKey>;
using UniqueGlobalAtom = UniqueAny<ATOM, detail::FreeAtom>;
using UniqueHhook = UniqueAny<HHOOK, detail::FreeHook>;

// CreateFile reports failure as INVALID_HANDLE_VALUE rather than null.
inline UniqueHandle AdoptFile(HANDLE h) noexcept {
    return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A DC from GetDC, or with `whole_window` from GetWindowDC (the frame
// included), given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd, bool whole_window = false) noexcept
        : m_hwnd(hwnd), m_dc(whole_window ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// The DC of a WM_PAINT, ended with EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_ps)) {}
    ~PaintDc() {
        if (m_dc)
            ::EndPaint(m_hwnd, &m_ps);
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const noexcept { return m_dc; }
    const PAINTSTRUCT& Info() const noexcept { return m_ps; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// Selects a GDI object into a DC and puts the previous one back when it goes.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc), m_old(::SelectObject(dc, obj)) {}
    ~SelectedObject() {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_dc, m_old);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// An open clipboard, closed when it goes. Another program may hold it for a
// moment (one that copies, a viewer reading it): the session then tries again,
// up to `tries` times `interval_ms` apart.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner, int tries = 1, DWORD interval_ms = 0) noexcept
        : m_open(Open(owner, tries, interval_ms)) {}
    ~ClipboardSession() {
        if (m_open)
            ::CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    explicit operator bool() const noexcept { return m_open; }

private:
    static bool Open(HWND owner, int tries, DWORD interval_ms) noexcept {
        for (int attempt = 1;; ++attempt) {
            if (::OpenClipboard(owner))
                return true;
            if (attempt >= tries)
                return false;
            ::Sleep(interval_ms);
        }
    }

    bool m_open;
};

// GlobalLock for the life of the object.
template <typename T> class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL h) noexcept : m_h(h), m_p(static_cast<T*>(::GlobalLock(h))) {}
    ~LockedGlobal() {
        if (m_p)
            ::GlobalUnlock(m_h);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    T* Get() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

private:
    HGLOBAL m_h;
    T* m_p;
};

} // namespace kelvo
