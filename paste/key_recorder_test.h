#pragma once
// Test helper: a focused top-level window of the test program that writes
// down the key messages SendInput brings it.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/window_binding.h"

namespace kelvo {

// A focused top-level window of our own that writes down every key message it
// gets: the virtual key in hex, "x" when the extended bit is set, and "v"
// (down) or "^" (up).
class CKeyRecorder {
public:
    CKeyRecorder() {
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        RegisterWindowClass(ClassDescription(
            module, kClassName,
            &OwnWindowProc<kProperty, &CKeyRecorder::WindowProc, &CKeyRecorder::m_window>));
        ::CreateWindowExW(0, kClassName, L"key recorder", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          200, 100, nullptr, nullptr, module, this);
    }

    HWND Window() const noexcept { return m_window.Get(); }

    // Plain SetForegroundWindow; waits until the window really has the foreground.
    bool Activate() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            ::SetForegroundWindow(m_window.Get());
            ::SetFocus(m_window.Get());
            Pump();
            if (::GetForegroundWindow() == m_window.Get() && ::GetFocus() == m_window.Get())
                return true;
            ::Sleep(20);
        }
        return false;
    }

    // Input reaches the window's queue asynchronously: pump until `count`
    // messages have arrived, or a little longer when they never do.
    const std::vector<std::string>& WaitForMessages(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (m_messages.size() < count && std::chrono::steady_clock::now() < deadline) {
            Pump();
            ::Sleep(10);
        }
        ::Sleep(100); // anything beyond the expected messages shows up too
        Pump();
        return m_messages;
    }

private:
    static constexpr wchar_t kClassName[] = L"KelvoKeyRecorder";
    static constexpr wchar_t kProperty[] = L"KelvoKeyRecorder_this";

    static void Pump() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            char text[16];
            const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
            // Wine reports Shift sent with the extended flag as the right Shift
            // key, which has no extended bit; its bit is not compared.
            const bool extended = (lparam & (1 << 24)) != 0 && wparam != VK_SHIFT;
            std::snprintf(text, sizeof text, "%02X%s%s", static_cast<unsigned>(wparam),
                          extended ? "x" : "", up ? "^" : "v");
            m_messages.emplace_back(text);
            // Not to DefWindowProc: Alt and F10 would open the window menu.
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, message, wparam, lparam);
        }
    }

    std::vector<std::string> m_messages;
    COwnWindow m_window;
};

} // namespace kelvo
