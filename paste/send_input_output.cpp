#include "paste/send_input_output.h"

#include <windows.h>

#include <chrono>
#include <utility>
#include <vector>

#include "base/utf16.h"

namespace kelvo {

// The result is not checked: input blocked by the system or another program
// is nothing a paste can act on.
void SendKeyEvents(std::span<const KeyEvent> events) {
    std::vector<INPUT> inputs(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
        KEYBDINPUT& key = inputs[i].ki;
        inputs[i].type = INPUT_KEYBOARD;
        key.wVk = events[i].code;
        key.wScan = 0;
        key.dwFlags =
            (events[i].extended ? KEYEVENTF_EXTENDEDKEY : 0) | (events[i].up ? KEYEVENTF_KEYUP : 0);
        key.time = 0;
        key.dwExtraInfo = 0;
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PasteWaitUntil(PasteClock::time_point deadline) {
    using std::chrono::milliseconds;
    for (;;) {
        // Answers the sent messages waiting; removes nothing from the queue.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const auto left = deadline - PasteClock::now();
        if (left <= PasteClock::duration::zero())
            return;
        // A message wait can end a timer tick late, so it stops a millisecond
        // or two short; the rest is slept, its last fraction of a millisecond
        // given away a time slice at a time.
        if (const auto whole = std::chrono::floor<milliseconds>(left); whole >= milliseconds(3))
            ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(whole.count() - 2),
                                          QS_SENDMESSAGE, 0);
        else if (whole.count() > 0)
            ::Sleep(static_cast<DWORD>(whole.count()));
        else
            ::SwitchToThread();
    }
}

void PasteWait(std::uint32_t milliseconds) {
    PasteWaitUntil(PasteClock::now() + std::chrono::milliseconds(milliseconds));
}

void SendEnterKeyUp() {
    const KeyEvent enter_up{VK_RETURN, false, true};
    SendKeyEvents({&enter_up, 1});
}

CSendInputOutput::CSendInputOutput(TextRunDelivery deliver_text_run)
    : m_deliverTextRun(std::move(deliver_text_run)) {}

void CSendInputOutput::SendKeys(std::span<const KeyEvent> events) {
    if (!m_stopped)
        SendKeyEvents(events);
}

void CSendInputOutput::DeliverTextRun(std::u16string_view text) {
    if (!m_stopped && !m_deliverTextRun(AsWide(text)))
        m_stopped = true;
}

void CSendInputOutput::Wait(std::uint32_t milliseconds) {
    if (!m_stopped)
        PasteWait(milliseconds);
}

} // namespace kelvo
