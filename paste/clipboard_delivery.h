#pragma once
// The delivery of a text run: the paste delay, the text offered on the
// clipboard with its line ends converted, Ctrl+V, then the wait for the
// target to read the run. The paste delay is the wait before each Ctrl+V; it
// counts from the Ctrl+V before (the first one from the start), so that the
// target's read of the run before and the keys played in between are part
// of it. After the Ctrl+V the paste waits
// exactly as long as the target takes to read, and at most kReadTimeoutMs: a
// run not read by then stops the paste (no keys follow a text that did not
// arrive). A secret's text goes with the markers that keep it out of
// clipboard history. When the text cannot be placed, no keystroke is sent:
// the target would paste whatever the clipboard held before.

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>

#include "paste/clipboard_render_owner.h"
#include "paste/clipboard_restore.h"
#include "paste/send_input_output.h"

namespace kelvo {

// How long a paste waits for the target to read a run after its Ctrl+V: as
// long as Windows lets a program leave its input unread before it calls the
// program hung ("Not responding"). A program busier than that when the
// paste reaches it is not going to take it; waiting longer would keep the
// user waiting on a paste that has failed.
inline constexpr DWORD kReadTimeoutMs = 5000;

class CClipboardDelivery {
public:
    enum class Failure {
        kNone,
        kBusy,      // another program kept the clipboard open
        kNotPlaced, // the clipboard took no text
        kNotRead,   // the target did not read the run in time
        kReplaced,  // another program replaced the run before the target read it
    };

    // `owner` owns the clipboard while runs are offered; `target` is the
    // window pasted into; `restore`, when not null, remembers what the
    // clipboard held before the first run, to be given back after the paste.
    CClipboardDelivery(CClipboardRenderOwner& owner, HWND target, DWORD paste_delay_ms, bool secret,
                       CClipboardRestore* restore);

    // False, with nothing sent after it, when the run could not be placed or
    // was not read.
    bool Deliver(std::wstring_view text);

    Failure LastFailure() const noexcept { return m_failure; }
    // With kBusy: the program that held the clipboard, empty when not known.
    const std::wstring& Holder() const noexcept { return m_holder; }

private:
    bool Place(std::wstring_view text);

    CClipboardRenderOwner& m_owner;
    DWORD m_targetProcess = 0;
    std::chrono::milliseconds m_pasteDelay;
    bool m_secret;
    CClipboardRestore* m_restore;
    PasteClock::time_point m_lastKeystroke; // of the last Ctrl+V, or the start
    Failure m_failure = Failure::kNone;
    std::wstring m_holder;
};

} // namespace kelvo
