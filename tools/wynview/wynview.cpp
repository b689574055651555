// wynview: shows a dialog description with the real dialog engine and prints
// the events it raises; with --screenshot it saves the dialog, once laid out
// and painted, to a PNG file and ends.
//
//   wynview <source> [--screenshot <file.png>]
//
// <source> is "res:" and the name of a description carried in this program
// (the program's own, e.g. "res:settings.xml") or a file path. Exit code: the
// dialog's result (1 accepted, 2 cancelled); with --screenshot 0 once the
// file is written; 3 for a wrong command line, 4 when the description cannot
// be shown, 5 when the capture fails.

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "base/win_handles.h"
#include "tools/wynview/window_capture.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/host/wyn_dialog.h"

namespace {

constexpr int kUsage = 3;
constexpr int kNotShown = 4;
constexpr int kCaptureFailed = 5;
// Ends the dialog after a capture; no dialog ends with it otherwise.
constexpr int kCaptured = 1000;

// The application's engine, in viewer mode: elements meant for viewing only act.
class CViewerEngine : public CkvWynEngine {
public:
    using CkvWynEngine::CkvWynEngine;
    bool IsViewerMode() override { return true; }
};

class CViewerDialog : public CWynDialog {
public:
    CViewerDialog(std::wstring source, CWynEngine* engine, const wchar_t* screenshot)
        : CWynDialog(std::move(source), engine), m_screenshot(screenshot) {}

    bool OnInitDialog() override {
        CWynDialog::OnInitDialog();
        // Captured once the window is on screen and has painted.
        if (m_screenshot)
            ::SetTimer(Hwnd(), kCaptureTimer, 300, nullptr);
        return true;
    }

    bool PreMessage(HWND window, UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
        if (message != WM_TIMER || wParam != kCaptureTimer)
            return false;
        ::KillTimer(window, kCaptureTimer);
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const bool saved = kelvo::CaptureWindowToPng(window, m_screenshot);
        std::wprintf(saved ? L"screenshot %ls\n" : L"screenshot failed %ls\n", m_screenshot);
        ::EndDialog(window, saved ? kCaptured : kCaptureFailed);
        return true;
    }

    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override {
        const std::wstring id = source && source->Id() ? *source->Id() : L"-";
        std::wprintf(L"event %ls %.*ls %llu %lld\n", id.c_str(), static_cast<int>(name.size()),
                     name.data(), static_cast<unsigned long long>(first),
                     static_cast<long long>(second));
        std::fflush(stdout);
        return 0;
    }

private:
    static constexpr UINT_PTR kCaptureTimer = 1;
    const wchar_t* m_screenshot;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* screenshot = nullptr;
    if (argc == 4 && std::wstring_view(argv[2]) == L"--screenshot")
        screenshot = argv[3];
    else if (argc != 2) {
        std::fwprintf(stderr, L"usage: wynview <source> [--screenshot <file.png>]\n");
        return kUsage;
    }

    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_DATE_CLASSES | ICC_USEREX_CLASSES};
    ::InitCommonControlsEx(&controls);
    kelvo::UniqueHmodule rich_edit(::LoadLibraryW(L"Riched20.dll"));

    INT_PTR result = 0;
    {
        CViewerEngine engine(::GetModuleHandleW(nullptr));
        CViewerDialog dialog(argv[1], &engine, screenshot);
        result = dialog.DoModal(nullptr);
        if (result == kCaptured) {
            result = 0;
        } else if (result <= 0) {
            std::fwprintf(stderr, L"wynview: cannot show %ls\n", argv[1]);
            result = kNotShown;
        }
    }
    std::wprintf(L"result %lld\n", static_cast<long long>(result));
    ::OleUninitialize();
    return static_cast<int>(result);
}
