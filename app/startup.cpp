#include "app/startup.h"

#include <commctrl.h>
#include <ole2.h>

#include <new>

#include "app/main_wnd.h"
#include "base/win_handles.h"
#include "crypto/twofish_self_check.h"

namespace {

enum ExitCode : int { kNormalEnd = 0, kOutOfMemory = 1, kNoWindow = 2 };

void ShowStartupError(const wchar_t* text) noexcept {
    ::MessageBoxW(nullptr, text, L"Kelvo", MB_ICONERROR | MB_OK | MB_SETFOREGROUND);
}

int RunApplication(HINSTANCE instance) {
    CMainWnd app(instance);
    if (!app.CreateHiddenWindow())
        return kNoWindow;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return kNormalEnd;
}

} // namespace

void ShowCipherFault(const char* message) noexcept {
    ::MessageBoxA(nullptr, message, "Kelvo", MB_ICONERROR | MB_OK | MB_SETFOREGROUND);
}

int RunKelvo(HINSTANCE instance) {
    int result = kNormalEnd;
    {
        // Local to the logon session: one copy per user.
        kelvo::UniqueHandle mutex(
            ::CreateMutexW(nullptr, FALSE, L"7A2E798F-2605-4E5A-B83F-33B451B885FD"));
        if (::GetLastError() == ERROR_ALREADY_EXISTS)
            return kNormalEnd;

        kelvo::SetCipherFaultHandler(ShowCipherFault);
        ::OleInitialize(nullptr);
        ::InitCommonControls();
        // Rich edit classes for every dialog; kept loaded until the end.
        kelvo::UniqueHmodule rich_edit(::LoadLibraryW(L"Riched20.dll"));
        try {
            result = RunApplication(instance);
        } catch (const std::bad_alloc&) {
            result = kOutOfMemory;
        }
    }
    if (result == kNoWindow)
        ShowStartupError(L"Kelvo could not start: the system refused to create its window.");
    else if (result == kOutOfMemory)
        ShowStartupError(L"Kelvo ran out of memory and has to close.");
    return result;
}
