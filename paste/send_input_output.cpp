#include "paste/send_input_output.h"

#include <windows.h>

#include <chrono>
#include <utility>
#include <vector>

#include "base/utf16.h"

namespace kelvo {

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

void PasteWait(std::uint32_t milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        // Answers the sent messages waiting; removes nothing from the queue.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left.count()), QS_SENDMESSAGE,
                                      0);
    }
}

void SendEnterKeyUp() {
    const KeyEvent enter_up{VK_RETURN, false, true};
    SendKeyEvents({&enter_up, 1});
}

CSendInputOutput::CSendInputOutput(TextRunDelivery deliver_text_run)
    : deliver_text_run_(std::move(deliver_text_run)) {}

void CSendInputOutput::SendKeys(std::span<const KeyEvent> events) {
    if (!m_stopped)
        SendKeyEvents(events);
}

void CSendInputOutput::DeliverTextRun(std::u16string_view text) {
    if (!m_stopped && !deliver_text_run_(as_wide(text)))
        m_stopped = true;
}

void CSendInputOutput::Wait(std::uint32_t milliseconds) {
    if (!m_stopped)
        PasteWait(milliseconds);
}

} // namespace kelvo
