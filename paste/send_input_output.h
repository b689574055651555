#pragma once
// Plays a chunk script into the session's real input: key events through
// SendInput, waits by sleeping the calling thread, and text runs through the
// delivery the paste operation provides.

#include <chrono>
#include <functional>
#include <span>
#include <string_view>

#include "paste/script_output.h"

namespace kelvo {

// Sends the events in one SendInput call. The result is not checked: input
// blocked by the system or another program is nothing a paste can act on.
void SendKeyEvents(std::span<const KeyEvent> events);

using PasteClock = std::chrono::steady_clock;

// Blocks the calling thread until `deadline`, as every wait of a paste does:
// its input and posted messages wait, but what other programs send to its
// windows is answered meanwhile. A program being brought to the front tells
// the windows it takes the foreground from, and would otherwise stay blocked,
// deaf to the paste's keys, until the whole paste is over. It ends as close
// after the deadline as a plain Sleep ends after its time: a paste's waits
// are its whole cost.
void PasteWaitUntil(PasteClock::time_point deadline);

// PasteWaitUntil `milliseconds` from now.
void PasteWait(std::uint32_t milliseconds);

// The release of the Enter key that started a paste, sent before anything
// else of it, so that the target does not see Enter still held.
void SendEnterKeyUp();

class CSendInputOutput final : public CScriptOutput {
public:
    // Delivers one text run; false when it could not, which stops the output.
    using TextRunDelivery = std::function<bool(std::wstring_view text)>;

    explicit CSendInputOutput(TextRunDelivery deliver_text_run);

    void SendKeys(std::span<const KeyEvent> events) override;
    void DeliverTextRun(std::u16string_view text) override;
    void Wait(std::uint32_t milliseconds) override;

    // A delivery failed: from then on nothing is sent, delivered or waited,
    // so the rest of the script is not played.
    bool Stopped() const noexcept { return m_stopped; }

private:
    TextRunDelivery m_deliverTextRun;
    bool m_stopped = false;
};

} // namespace kelvo
