#pragma once
// A screen reader's view for the whole-program tests: when the environment
// variable KELVO_ACCESSIBILITY_LOG names a file, every focus event the
// program's windows raise is read back through accessibility, as a screen
// reader reads it, and written to that file as one UTF-8 line:
//   focus <window class> <name of the focused object>
// Under Wine another process cannot obtain the program's accessible
// objects, so the tests read them here, in the program's own process.

#include <windows.h>

#include <memory>
#include <string>

#include "base/win_handles.h"

class CAccessibilityLog {
public:
    // The log the environment asks for; null when it asks for none or the
    // file cannot be made.
    static std::unique_ptr<CAccessibilityLog> FromEnvironment();
    ~CAccessibilityLog();
    CAccessibilityLog(const CAccessibilityLog&) = delete;
    CAccessibilityLog& operator=(const CAccessibilityLog&) = delete;

private:
    explicit CAccessibilityLog(kelvo::UniqueHandle file);
    static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                 LONG child, DWORD thread, DWORD time) noexcept;
    void LogFocus(HWND window, LONG object, LONG child);
    void Write(const std::wstring& line);

    static inline CAccessibilityLog* s_current = nullptr;
    kelvo::UniqueHandle m_file;
    HWINEVENTHOOK m_hook = nullptr;
};
