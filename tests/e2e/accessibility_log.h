#pragma once
// A screen reader's view for the whole-program tests, in the test build of
// the program only: when the environment variable KELVO_ACCESSIBILITY_LOG
// names a file, every focus event the program's windows raise is read back
// through accessibility, as a screen reader reads it, and written to that
// file as one UTF-8 line:
//   focus <window class> <name of the focused object>
// A text field (an edit, a rich edit, a password box) is named by the label
// before it, never by what it holds: its accessible name may be its text
// (a rich edit's is, under Wine), and the text may be a secret.
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
    // The label a text field is known by: the text of the static control
    // just before it, without its mnemonic marks; empty when there is none.
    static std::wstring LabelOf(HWND field);
    void Write(const std::wstring& line);

    static inline CAccessibilityLog* s_current = nullptr;
    kelvo::UniqueHandle m_file;
    HWINEVENTHOOK m_hook = nullptr;
};
