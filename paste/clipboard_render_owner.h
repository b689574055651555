#pragma once
// The window that owns the clipboard while a paste offers its text runs: a
// hidden message-only window. A run goes on the clipboard with delayed
// rendering, so that the clipboard asks this window for the text when a
// program reads it: that request is how the paste knows the target has taken
// a run before the next one replaces it, however late the target reads.
//
// Who reads decides what is given out. Before the run's Ctrl+V no reader can
// be the target taking the paste (it is a clipboard monitor reacting to the
// change): it gets nothing, and the run waits unrendered for the target.
// After it, a plain run goes to the first reader. A secret goes only to a
// reader in the target's process, or to one that cannot be told (no window
// holds the clipboard open); any other reader gets nothing and the secret
// stays unrendered. The text is wiped as soon as it is given out.

#include <windows.h>

#include <string_view>

#include "base/window_binding.h"
#include "base/wipe.h"
#include "paste/send_input_output.h"

namespace kelvo {

class CClipboardRenderOwner {
public:
    CClipboardRenderOwner();
    // A plain run nobody has read yet is put on the clipboard for good
    // before the window goes, so that it is not lost.
    ~CClipboardRenderOwner();
    CClipboardRenderOwner(const CClipboardRenderOwner&) = delete;
    CClipboardRenderOwner& operator=(const CClipboardRenderOwner&) = delete;

    HWND Window() const noexcept { return m_window.Get(); }

    // On the clipboard opened for Window() and emptied: offers `text`, its
    // line ends converted, as CF_UNICODETEXT rendered when read, for a paste
    // into a window of `target_process`. False when the clipboard refused it.
    bool Offer(std::wstring_view text, DWORD target_process, bool secret);
    // The offered run's Ctrl+V has been sent: from now on a reader may be
    // the target.
    void KeystrokeSent() noexcept { m_keystrokeSent = true; }

    enum class ReadState {
        kWaiting,  // offered and not read yet, or nothing offered
        kRead,     // given out to a reader
        kReplaced, // another program emptied the clipboard before anyone read it
    };
    ReadState State() const noexcept { return m_state; }
    // Answers what other programs send (the render request among it) until
    // the offered run was read or replaced, or until `deadline`.
    ReadState WaitForRead(PasteClock::time_point deadline);

private:
    LRESULT WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    bool MayRead() const;
    void Render();
    void RenderForGood();
    bool PutText() const;
    void Drop() noexcept;

    COwnWindow m_window;
    SecureWideChars m_text; // the offered text with its terminator, while unrendered
    bool m_offered = false;
    bool m_secret = false;
    bool m_keystrokeSent = false;
    DWORD m_targetProcess = 0;
    ReadState m_state = ReadState::kWaiting;
};

} // namespace kelvo
