#pragma once
// Owners of the Win32 handles the program holds.

#include <windows.h>

#include "base/unique_any.h"

namespace kelvo {

namespace detail {
inline void close_handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void destroy_window(HWND h) noexcept { ::DestroyWindow(h); }
inline void delete_gdi_object(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void delete_dc(HDC h) noexcept { ::DeleteDC(h); }
inline void destroy_icon(HICON h) noexcept { ::DestroyIcon(h); }
inline void destroy_menu(HMENU h) noexcept { ::DestroyMenu(h); }
inline void global_free(HGLOBAL h) noexcept { ::GlobalFree(h); }
inline void free_library(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void reg_close_key(HKEY h) noexcept { ::RegCloseKey(h); }
inline void delete_atom(ATOM a) noexcept { ::GlobalDeleteAtom(a); }
} // namespace detail

using unique_handle = unique_any<HANDLE, detail::close_handle>;
using unique_hwnd = unique_any<HWND, detail::destroy_window>;
using unique_gdi = unique_any<HGDIOBJ, detail::delete_gdi_object>;
using unique_hbitmap = unique_any<HBITMAP, detail::delete_gdi_object>;
using unique_hfont = unique_any<HFONT, detail::delete_gdi_object>;
using unique_hbrush = unique_any<HBRUSH, detail::delete_gdi_object>;
using unique_hpen = unique_any<HPEN, detail::delete_gdi_object>;
using unique_hrgn = unique_any<HRGN, detail::delete_gdi_object>;
using unique_hdc = unique_any<HDC, detail::delete_dc>;
using unique_hicon = unique_any<HICON, detail::destroy_icon>;
using unique_hmenu = unique_any<HMENU, detail::destroy_menu>;
using unique_hglobal = unique_any<HGLOBAL, detail::global_free>;
using unique_hmodule = unique_any<HMODULE, detail::free_library>;
using unique_hkey = unique_any<HKEY, detail::reg_close_key>;
using unique_global_atom = unique_any<ATOM, detail::delete_atom>;

// CreateFile reports failure as INVALID_HANDLE_VALUE rather than null.
inline unique_handle adopt_file(HANDLE h) noexcept {
    return unique_handle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A DC from GetDC, given back with ReleaseDC.
class window_dc {
public:
    explicit window_dc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~window_dc() {
        if (dc_)
            ::ReleaseDC(hwnd_, dc_);
    }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The DC of a WM_PAINT, ended with EndPaint.
class paint_dc {
public:
    explicit paint_dc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
    ~paint_dc() {
        if (dc_)
            ::EndPaint(hwnd_, &ps_);
    }
    paint_dc(const paint_dc&) = delete;
    paint_dc& operator=(const paint_dc&) = delete;
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& info() const noexcept { return ps_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back when it goes.
class select_object {
public:
    select_object(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~select_object() {
        if (old_ && old_ != HGDI_ERROR)
            ::SelectObject(dc_, old_);
    }
    select_object(const select_object&) = delete;
    select_object& operator=(const select_object&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// An open clipboard, closed when it goes. Another program may hold it for a
// moment (one that copies, a viewer reading it): the session then tries again,
// up to `tries` times `interval_ms` apart.
class clipboard_session {
public:
    explicit clipboard_session(HWND owner, int tries = 1, DWORD interval_ms = 0) noexcept
        : open_(Open(owner, tries, interval_ms)) {}
    ~clipboard_session() {
        if (open_)
            ::CloseClipboard();
    }
    clipboard_session(const clipboard_session&) = delete;
    clipboard_session& operator=(const clipboard_session&) = delete;
    explicit operator bool() const noexcept { return open_; }

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

    bool open_;
};

// GlobalLock for the life of the object.
template <typename T>
class global_lock {
public:
    explicit global_lock(HGLOBAL h) noexcept : h_(h), p_(static_cast<T*>(::GlobalLock(h))) {}
    ~global_lock() {
        if (p_)
            ::GlobalUnlock(h_);
    }
    global_lock(const global_lock&) = delete;
    global_lock& operator=(const global_lock&) = delete;
    T* get() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

private:
    HGLOBAL h_;
    T* p_;
};

} // namespace kelvo
