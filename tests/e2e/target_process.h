#pragma once
// The program to paste into (kelvo-paste-target.exe, tests/e2e), run as a
// process of its own by the tests and the benchmark: started with a log file
// of its own and a window title, its windows found by that title, its log
// read back, and closed when the object goes.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"

namespace test_target {

class CTargetProcess {
public:
    // `focus` names the field that has the focus at the start: line, multi or
    // rich; `option` is one of the program's options (--hold-clipboard,
    // --read-late, --never-read) or null. Waits until the program is ready.
    explicit CTargetProcess(std::wstring title, const wchar_t* focus = L"line",
                            const wchar_t* option = nullptr)
        : m_title(std::move(title)) {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_log = std::wstring(temp) + L"kelvo-target-" + std::to_wstring(::GetCurrentProcessId()) +
                L"-" + std::to_wstring(++s_count) + L".log";
        std::wstring command = L"\"" + ProgramPath() + L"\" ";
        if (option)
            command += std::wstring(option) + L" ";
        command += L"\"" + m_log + L"\" \"" + m_title + L"\" " + focus;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info))
            return;
        m_process.Reset(info.hProcess);
        ::CloseHandle(info.hThread);
        WaitForLine("ready");
    }
    ~CTargetProcess() {
        Close();
        ::DeleteFileW(m_log.c_str());
    }
    CTargetProcess(const CTargetProcess&) = delete;
    CTargetProcess& operator=(const CTargetProcess&) = delete;

    // kelvo-paste-target.exe of this build, seen from a program one folder
    // below the build's root.
    static std::wstring ProgramPath() {
        wchar_t exe[MAX_PATH] = {};
        const DWORD n = ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring path(exe, n);
        path.resize(path.find_last_of(L'\\') + 1);
        return path + L"..\\tests\\e2e\\kelvo-paste-target.exe";
    }

    bool Running() const {
        return m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
    }
    const std::wstring& Title() const noexcept { return m_title; }
    HWND Window() const { return ::FindWindowW(L"KelvoPasteTarget", m_title.c_str()); }
    HWND Tools() const {
        return ::FindWindowW(L"KelvoPasteTargetTools", (m_title + L" tools").c_str());
    }

    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        std::ifstream in(std::filesystem::path(m_log), std::ios::binary);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    // The lines that begin with `prefix`.
    std::vector<std::string> Lines(std::string_view prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : Log()) {
            if (line.starts_with(prefix))
                found.push_back(line);
        }
        return found;
    }
    // A field's text as last logged (CR, LF, TAB and backslash escaped),
    // empty when it never changed.
    std::string FieldText(std::string_view field) const {
        const std::string prefix = "text " + std::string(field) + " ";
        const std::vector<std::string> lines = Lines(prefix);
        return lines.empty() ? std::string() : lines.back().substr(prefix.size());
    }

    // Waits (handling this thread's messages) until a line equal to `line`,
    // or beginning with it when `prefix` is set, was logged; false after five
    // seconds without.
    bool WaitForLine(std::string_view line, bool prefix = false) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;;) {
            for (const std::string& logged : Log()) {
                if (prefix ? logged.starts_with(line) : logged == line)
                    return true;
            }
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Pump(20);
        }
    }

    // Closes the program's window and waits for it to end.
    void Close() {
        if (!m_process)
            return;
        if (HWND window = Window())
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process.Get(), 5000) != WAIT_OBJECT_0)
            ::TerminateProcess(m_process.Get(), 1);
        m_process.Reset();
    }

    // Handles this thread's messages for `ms` milliseconds.
    static void Pump(DWORD ms) {
        const DWORD start = ::GetTickCount();
        do {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::Sleep(5);
        } while (::GetTickCount() - start < ms);
    }

private:
    static inline int s_count = 0;
    std::wstring m_title;
    std::wstring m_log;
    kelvo::UniqueHandle m_process;
};

// Makes `window` the foreground window with a plain SetForegroundWindow, as
// a user's click would; false when it did not come in front.
inline bool BringToFront(HWND window) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        ::SetForegroundWindow(window);
        CTargetProcess::Pump(20);
        // In front, and its thread has given a control the keyboard focus:
        // the other process does that after its activation, a moment later.
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (::GetForegroundWindow() == window &&
            ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
            info.hwndFocus)
            return true;
    }
    return false;
}

} // namespace test_target
