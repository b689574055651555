#pragma once
// What every windowed element type shares: creating its window by the common
// conventions and measuring text in its font. Own window classes are
// registered and bound by the window mechanism (base/window_binding.h).

#include <windows.h>

#include <optional>

class CWynElement;

namespace kelvo {

struct ControlWindow {
    const wchar_t* windowClass = nullptr;
    const wchar_t* text = L"";
    DWORD style = 0; // on top of WS_CHILD and the element's visible and disabled state
    DWORD exStyle = 0;
    // The parent element's window unless given.
    HWND parent = nullptr;
    // The element's own control id unless given.
    std::optional<int> controlId = std::nullopt;
    // Handed to WM_CREATE of an own window class: the element it binds to.
    void* createParam = nullptr;
};

// A child window on the engine's module at the element's stored rectangle,
// visible unless the element is hidden, disabled when it is, with the
// element's font. Null when the window cannot be created.
HWND CreateControlWindow(CWynElement& element, const ControlWindow& control);

// The size of `text` drawn in the element's font as an edit control draws it;
// with `wrap_width` > 0 words wrap at that width. A missing text measures "W".
SIZE MeasureText(const CWynElement& element, const wchar_t* text, int wrap_width = 0);

} // namespace kelvo
