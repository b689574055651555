#include "base/window_binding.h"

namespace kelvo {

bool RegisterWindowClass(const WNDCLASSEXW& description) noexcept {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(description.hInstance, description.lpszClassName, &existing))
        return true;
    return ::RegisterClassExW(&description) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

WNDCLASSEXW ClassDescription(HINSTANCE module, const wchar_t* name, WNDPROC procedure,
                             UINT style, const wchar_t* cursor) noexcept {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.style = style;
    description.lpfnWndProc = procedure;
    description.hInstance = module;
    description.hCursor = cursor ? ::LoadCursorW(nullptr, cursor) : nullptr;
    description.lpszClassName = name;
    return description;
}

namespace detail {

UINT UnbindMessage() noexcept {
    // Should registering fail, a message of the application's range that no
    // own class uses.
    static const UINT message = [] {
        const UINT registered = ::RegisterWindowMessageW(L"Kelvo.UnbindOwnWindow");
        return registered ? registered : UINT{WM_APP + 0x3F17};
    }();
    return message;
}

void AbandonWindow(HWND window) noexcept {
    // The object that owned the window is going and must not hear its
    // WM_DESTROY.
    ::SendMessageW(window, UnbindMessage(), 0, 0);
    ::DestroyWindow(window);
}

} // namespace detail

} // namespace kelvo
