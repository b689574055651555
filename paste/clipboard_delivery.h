#pragma once
// The delivery of a text run: the paste delay, the text put on the clipboard
// with its line ends converted, then Ctrl+V. The paste delay is the time the
// target has to read the clipboard after a Ctrl+V before the next text run
// replaces it, so it counts from that keystroke: keys and pauses played in
// between are part of it. The first run waits it from the delivery's start.
// A secret's text goes with the markers that keep it out of clipboard
// history, and what the clipboard held before is remembered to be put back
// after the paste. When the text cannot be placed, no keystroke is sent: the
// target would paste whatever the clipboard held before.

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>

#include "paste/clipboard_restore.h"
#include "paste/send_input_output.h"

namespace kelvo {

class CClipboardDelivery {
public:
    enum class Failure { kNone, kBusy, kNotPlaced };

    // `owner` becomes the clipboard's owner (it must be a window: without one
    // the clipboard takes no data); `secret_restore` is null for a plain text.
    CClipboardDelivery(HWND owner, DWORD paste_delay_ms, CClipboardRestore* secret_restore);

    // False, with nothing sent, when the text could not be placed.
    bool Deliver(std::wstring_view text);

    Failure LastFailure() const noexcept { return m_failure; }
    // With kBusy: the program that held the clipboard, empty when not known.
    const std::wstring& Holder() const noexcept { return m_holder; }

private:
    bool Place(std::wstring_view text);

    HWND m_owner;
    std::chrono::milliseconds m_pasteDelay;
    CClipboardRestore* m_restore;
    PasteClock::time_point m_lastKeystroke; // of the last Ctrl+V, or the start
    Failure m_failure = Failure::kNone;
    std::wstring m_holder;
};

} // namespace kelvo
