#pragma once
// Test helper: the target of a paste as a program has it, a focused top-level
// window on a thread of its own, so that it reads the clipboard while the
// paste waits. It writes down the key messages it gets and, at each Ctrl+V,
// reads the clipboard's text: at once, after a wait, or never.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/win_handles.h"
#include "base/window_binding.h"

namespace kelvo {

class CClipboardReader {
public:
    enum class Reads { kAtOnce, kNever };

    explicit CClipboardReader(DWORD read_after_ms = 0, Reads reads = Reads::kAtOnce)
        : m_readAfterMs(read_after_ms), m_reads(reads),
          m_ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread([this] { Run(); }) {
        ::WaitForSingleObject(m_ready.Get(), 5000);
    }
    ~CClipboardReader() {
        if (m_hwnd)
            ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
        m_thread.join();
    }
    CClipboardReader(const CClipboardReader&) = delete;
    CClipboardReader& operator=(const CClipboardReader&) = delete;

    HWND Window() const noexcept { return m_hwnd; }

    // Brings the window in front, where the paste's keys go.
    bool Activate() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            ::SetForegroundWindow(m_hwnd);
            ::Sleep(20);
            if (::GetForegroundWindow() == m_hwnd)
                return true;
        }
        return false;
    }

    // The texts read at each Ctrl+V ("<none>" when the clipboard gave none).
    std::vector<std::wstring> Texts() const {
        std::lock_guard lock(m_mutex);
        return m_texts;
    }
    // Waits until `count` texts were read: the paste goes on as soon as the
    // clipboard gave the text out, before the reader has noted it.
    std::vector<std::wstring> WaitForTexts(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Texts().size() < count && std::chrono::steady_clock::now() < deadline)
            ::Sleep(5);
        return Texts();
    }
    // The key messages: virtual key in hex, "v" down or "^" up.
    std::vector<std::string> Keys() const {
        std::lock_guard lock(m_mutex);
        return m_keys;
    }
    // Waits until `count` key messages arrived, and a moment longer for any beyond.
    std::vector<std::string> WaitForKeys(std::size_t count) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Keys().size() < count && std::chrono::steady_clock::now() < deadline)
            ::Sleep(10);
        ::Sleep(100);
        return Keys();
    }

private:
    static constexpr wchar_t kClassName[] = L"KelvoClipboardReader";
    static constexpr wchar_t kProperty[] = L"KelvoClipboardReader_this";

    void Run() {
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        RegisterWindowClass(ClassDescription(
            module, kClassName,
            &OwnWindowProc<kProperty, &CClipboardReader::WindowProc, &CClipboardReader::m_window>));
        ::CreateWindowExW(0, kClassName, L"clipboard reader", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                          0, 200, 100, nullptr, nullptr, module, this);
        m_hwnd = m_window.Get();
        ::SetEvent(m_ready.Get());
        MSG msg;
        while (m_hwnd && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP: {
            char text[16];
            std::snprintf(text, sizeof text, "%02X%s", static_cast<unsigned>(wparam),
                          message == WM_KEYUP ? "^" : "v");
            {
                std::lock_guard lock(m_mutex);
                m_keys.emplace_back(text);
            }
            if (message == WM_KEYDOWN && wparam == 'V' && ::GetKeyState(VK_CONTROL) < 0 &&
                m_reads == Reads::kAtOnce)
                Read(hwnd);
            return 0;
        }
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd, message, wparam, lparam);
        }
    }

    void Read(HWND hwnd) {
        ::Sleep(m_readAfterMs);
        std::wstring text = L"<none>";
        if (ClipboardSession clipboard(hwnd, 10, 10); clipboard) {
            if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
                LockedGlobal<const wchar_t> chars(data);
                if (chars)
                    text = chars.Get();
            }
        }
        std::lock_guard lock(m_mutex);
        m_texts.push_back(text);
    }

    DWORD m_readAfterMs;
    Reads m_reads;
    UniqueHandle m_ready;
    COwnWindow m_window;
    HWND m_hwnd = nullptr;
    mutable std::mutex m_mutex;
    std::vector<std::wstring> m_texts;
    std::vector<std::string> m_keys;
    std::thread m_thread;
};

} // namespace kelvo
