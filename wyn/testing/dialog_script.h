#pragma once
// Drives dialogs that the code under test builds and runs itself (an
// application flow with its own dialog, a message box it shows): a thread
// timer, which whatever modal loop is running dispatches, hands each step in
// turn the dialog then in front, that is the thread's visible and enabled
// dialog window (a dialog that shows a message box is disabled under it).
// A step that opens a message box is therefore followed by one that answers
// it. Dialogs still open when the time limit has passed are ended with 99, so
// a script that goes wrong fails its test instead of hanging it. One script
// at a time.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "wyn/host/wyn_dialog.h"

namespace wyn_test {

class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;
    static constexpr INT_PTR kTimedOut = 99;

    explicit DialogScript(std::vector<Step> steps, DWORD limit_ms = 10000)
        : m_steps(std::move(steps)), m_limit(limit_ms), m_start(::GetTickCount()) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 40, &DialogScript::Tick);
    }
    ~DialogScript() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // How many steps ran.
    std::size_t Done() const noexcept { return m_next; }
    // Every step ran and no dialog had to be ended for want of time.
    bool Finished() const noexcept { return m_next == m_steps.size() && !m_timedOut; }

    // The thread's dialog in front: visible, enabled, of the dialog class.
    static HWND FrontDialog() {
        HWND found = nullptr;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND window, LPARAM out) -> BOOL {
                wchar_t name[16] = {};
                ::GetClassNameW(window, name, 16);
                if (std::wstring_view(name) != L"#32770" || !::IsWindowVisible(window) ||
                    !::IsWindowEnabled(window))
                    return TRUE;
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* self = s_current;
        if (!self)
            return;
        HWND dialog = FrontDialog();
        if (!dialog)
            return;
        if (::GetTickCount() - self->m_start > self->m_limit) {
            self->m_timedOut = true;
            ::EndDialog(dialog, kTimedOut);
            return;
        }
        if (self->m_next == self->m_steps.size())
            return;
        // Counted before it runs: a step may open a modal loop in which the
        // next one runs.
        self->m_steps[self->m_next++](dialog);
    }

    static inline DialogScript* s_current = nullptr;
    std::vector<Step> m_steps;
    DWORD m_limit;
    DWORD m_start;
    std::size_t m_next = 0;
    bool m_timedOut = false;
    UINT_PTR m_timer = 0;
};

inline void Click(HWND button) {
    ::SendMessageW(button, BM_CLICK, 0, 0);
}
inline void ClickOk(HWND dialog) {
    Click(::GetDlgItem(dialog, IDOK));
}
inline void ClickCancel(HWND dialog) {
    Click(::GetDlgItem(dialog, IDCANCEL));
}

// The text of a message box.
inline std::wstring MessageBoxText(HWND box) {
    wchar_t text[2048] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
    return text;
}

// The value of a combo box's selected item, "none" without a selection.
inline std::wstring SelectedValue(HWND combo_box) {
    const LRESULT index = ::SendMessageW(combo_box, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return L"none";
    return std::to_wstring(
        static_cast<int>(::SendMessageW(combo_box, CB_GETITEMDATA, static_cast<WPARAM>(index), 0)));
}

// Types `text` into the window of the dialog's element `id`.
inline void SetText(CWynDialog& dialog, const wchar_t* id, const wchar_t* text) {
    if (CWynElement* element = dialog.FindById(id))
        ::SetWindowTextW(element->Hwnd(), text);
}

// Keys as the user presses them, to whatever has the focus in the window in
// front: the characters of `text`, then the virtual keys of `keys`.
inline void TypeKeys(std::wstring_view text, std::initializer_list<WORD> keys = {}) {
    std::vector<INPUT> inputs;
    for (const wchar_t c : text) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            inputs.push_back(input);
        }
    }
    for (const WORD key : keys) {
        for (const DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = up;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The control id of the dialog's context-help tip on screen; empty for none.
inline std::wstring ShownTip(CWynDialog& dialog) {
    const CWynContextHelp& help = dialog.ContextHelp();
    if (!help.TipWindow() || !::IsWindowVisible(help.TipWindow()) || help.CurrentTip() < 0)
        return {};
    return help.Tips()[static_cast<std::size_t>(help.CurrentTip())].control;
}

} // namespace wyn_test
