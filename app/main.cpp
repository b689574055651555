// Start-up: one copy per logon, platform services, the application object and
// the message loop.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <new>

#include "app/main_wnd.h"
#include "base/win_handles.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Local to the logon session: one copy per user.
    kelvo::unique_handle mutex(
        ::CreateMutexW(nullptr, FALSE, L"7A2E798F-2605-4E5A-B83F-33B451B885FD"));
    if (::GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    ::OleInitialize(nullptr);
    ::InitCommonControls();
    // Rich edit classes for every dialog; kept loaded until exit.
    kelvo::unique_hmodule rich_edit(::LoadLibraryW(L"Riched20.dll"));

    try {
        CMainWnd app(instance);
        app.CreateHiddenWindow();

        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    } catch (const std::bad_alloc&) {
        ::MessageBoxW(nullptr, L"Kelvo ran out of memory and has to close.", L"Kelvo",
                      MB_ICONERROR | MB_OK);
        return 1;
    }
    return 0;
}
