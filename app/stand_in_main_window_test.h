#pragma once
// Test helper: a stand-in for the chunk browser as the paste sees it, a
// dialog of the test program with a find box. It runs modeless, or modal with
// a handler that runs inside its own message handling, as the chunk
// browser's events do; its close box ends it as the chunk browser's does.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/window_binding.h"
#include "paste/paste_host.h"

class CStandInMainWindow : public kelvo::CPasteHost {
public:
    static constexpr INT_PTR kTimedOut = 99;

    CStandInMainWindow() = default;
    ~CStandInMainWindow() {
        if (m_window && !m_modal)
            ::DestroyWindow(m_window);
    }
    CStandInMainWindow(const CStandInMainWindow&) = delete;
    CStandInMainWindow& operator=(const CStandInMainWindow&) = delete;

    // Shows it modeless.
    bool Create() {
        const std::vector<WORD> dialog = Template();
        return ::CreateDialogIndirectParamW(
                   nullptr, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
                   &kelvo::OwnDialogProc<&CStandInMainWindow::DialogProc,
                                         &CStandInMainWindow::m_window>,
                   reinterpret_cast<LPARAM>(this)) != nullptr;
    }

    // Runs it modal; `handler` runs inside its handling of one message, and
    // it ends with kTimedOut after ten seconds if nothing closed it.
    INT_PTR RunModal(std::function<void()> handler) {
        m_modal = true;
        m_handler = std::move(handler);
        const std::vector<WORD> dialog = Template();
        return ::DialogBoxIndirectParamW(
            nullptr, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
            &kelvo::OwnDialogProc<&CStandInMainWindow::DialogProc, &CStandInMainWindow::m_window>,
            reinterpret_cast<LPARAM>(this));
    }

    HWND Window() const override { return m_window; }
    kelvo::CHeldModifiers& HeldModifiers() override { return m_held; }
    void PasteTargetChanged() override { ++m_targetChanges; }

    int TargetChanges() const noexcept { return m_targetChanges; }
    // Whether its window was still there when its handler had run.
    bool AliveAfterHandler() const noexcept { return m_aliveAfterHandler; }
    std::wstring FindBoxText() const {
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(m_window, kFindBox, text, 1024);
        return text;
    }

private:
    static constexpr int kFindBox = 100;
    static constexpr UINT kRunHandler = WM_APP + 1;
    static constexpr UINT_PTR kTimeout = 1;

    // A captioned dialog with one edit box, the find box.
    static std::vector<WORD> Template() {
        std::vector<WORD> t;
        auto dword = [&](DWORD value) {
            t.push_back(LOWORD(value));
            t.push_back(HIWORD(value));
        };
        auto text = [&](const wchar_t* s) {
            for (; *s; ++s)
                t.push_back(static_cast<WORD>(*s));
            t.push_back(0);
        };
        dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME);
        dword(0);
        t.insert(t.end(), {1, 10, 10, 200, 60}); // one item, x, y, cx, cy
        t.insert(t.end(), {0, 0});               // no menu, the dialog class
        text(L"Kelvo stand-in");
        if (t.size() % 2)
            t.push_back(0); // items start on a DWORD
        dword(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL);
        dword(0);
        t.insert(t.end(), {10, 10, 180, 14, kFindBox, 0xFFFF, 0x0081}); // an edit
        t.push_back(0);                                                 // no text
        t.push_back(0);                                                 // no creation data
        return t;
    }

    INT_PTR DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            if (m_modal) {
                ::PostMessageW(window, kRunHandler, 0, 0);
                ::SetTimer(window, kTimeout, 10000, nullptr);
            }
            return TRUE;
        case kRunHandler:
            m_handler();
            m_aliveAfterHandler = ::IsWindow(window) != FALSE;
            return TRUE;
        case WM_TIMER:
            if (wparam == kTimeout)
                ::EndDialog(window, kTimedOut);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) != IDCANCEL)
                return FALSE;
            if (m_modal)
                ::EndDialog(window, IDCANCEL);
            else
                ::DestroyWindow(window);
            return TRUE;
        default:
            return FALSE;
        }
    }

    HWND m_window = nullptr;
    bool m_modal = false;
    std::function<void()> m_handler;
    bool m_aliveAfterHandler = false;
    int m_targetChanges = 0;
    kelvo::CHeldModifiers m_held;
};
