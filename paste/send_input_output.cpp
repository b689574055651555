#include "paste/send_input_output.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "base/utf16.h"

namespace kelvo {

CSendInputOutput::CSendInputOutput(TextRunDelivery deliver_text_run)
    : m_deliverTextRun(std::move(deliver_text_run)) {}

// The result is not checked: input blocked by the system or another program
// is nothing a paste can act on.
void CSendInputOutput::SendKeys(std::span<const KeyEvent> events) {
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

void CSendInputOutput::DeliverTextRun(std::u16string_view text) {
    m_deliverTextRun(AsWide(text));
}

void CSendInputOutput::Wait(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace kelvo
