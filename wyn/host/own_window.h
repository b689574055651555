#pragma once
// The window procedure of the engine's own window classes: each window is
// bound to its element through a window property from WM_CREATE to WM_DESTROY.

#include <windows.h>

namespace kelvo {

// For an own class whose element type is T, created with the element as
// creation parameter. Messages before the binding and after it go to the
// default procedure; `Handler` (T::WindowProc unless an element has two
// windows) handles the rest, and nothing it throws leaves the procedure.
template <typename T, const wchar_t* Property,
          LRESULT (T::*Handler)(HWND, UINT, WPARAM, LPARAM) = &T::WindowProc>
LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_CREATE) {
        void* element = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams;
        if (element)
            ::SetPropW(window, Property, element);
    }
    auto* element = static_cast<T*>(::GetPropW(window, Property));
    if (!element)
        return ::DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = (element->*Handler)(window, message, wParam, lParam);
    } catch (...) {
        // Only memory exhaustion throws here; the message gets the default treatment.
        result = ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_DESTROY)
        ::RemovePropW(window, Property);
    return result;
}

} // namespace kelvo
