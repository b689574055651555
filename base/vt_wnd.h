#pragma once
// The base of the top-level windows the program defines itself: registers
// the window class and dispatches the window's messages to the object's
// virtual WindowProc, bound by the window mechanism (base/window_binding.h)
// through the property "CVtWnd_this".

#include <windows.h>

#include <string>
#include <string_view>

#include "base/window_binding.h"

class CVtWnd {
public:
    CVtWnd();
    // Destroys the window if it still exists; the object no longer hears it.
    virtual ~CVtWnd() = default;
    CVtWnd(const CVtWnd&) = delete;
    CVtWnd& operator=(const CVtWnd&) = delete;

    // Called with the filled class description just before it is registered.
    virtual void PreRegisterClass(WNDCLASSEXW& wc);
    // The object's message handler; the default passes everything on.
    virtual LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // Registers the class unless the instance already has one of that name.
    void RegisterWindowClass(HINSTANCE instance);
    // Creates the window with this object as creation parameter; the object
    // holds the handle from WM_CREATE on.
    HWND Create(HINSTANCE instance, DWORD ex_style, const wchar_t* title, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU menu);

    HWND Hwnd() const noexcept { return m_window.Get(); }
    const std::wstring& ClassName() const noexcept { return m_className; }

protected:
    // Window class names longer than the system allows are cut to 255 characters.
    void SetClassName(std::wstring_view name);

private:
    kelvo::COwnWindow m_window;
    std::wstring m_className;
};
