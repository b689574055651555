#pragma once
// What the clipboard held before a paste put its text runs there, given back
// once the target has read the last run: every format it held (texts, rich
// text and HTML, pictures, file lists, the private formats programs register),
// and an empty clipboard stays empty. A copy the user makes while a paste runs
// wins: it is what comes back, and nothing is put back over a copy made
// after the last run.

#include <windows.h>

#include <vector>

#include "base/win_handles.h"
#include "base/wipe.h"

namespace kelvo {

class CClipboardRestore {
public:
    CClipboardRestore() = default;
    CClipboardRestore(const CClipboardRestore&) = delete;
    CClipboardRestore& operator=(const CClipboardRestore&) = delete;

    // On the clipboard open for `owner`, the window that owns it while a
    // paste runs, before a text run replaces its content: remembers that
    // content. While `owner` still owns it (it holds a run, nobody copied
    // since) and earlier content waits to come back, that content holds.
    void Remember(HWND owner);
    // Content was remembered and not yet given back.
    bool Pending() const noexcept { return m_pending; }

    // If `owner` still owns the clipboard (nobody has copied since the
    // paste), empties it and puts back every remembered format. The
    // remembered content is dropped, wiped, either way. False, with the
    // restore still pending, when the clipboard was busy: at once, or with
    // `wait`, for as long as a paste waits for it.
    bool Restore(HWND owner, bool wait = false);

private:
    // One format as it is kept: bytes, or for a bitmap a copy of it.
    struct Saved {
        UINT format;
        SecureBytes bytes;
        UniqueHbitmap bitmap;
    };

    static bool Save(UINT format, HANDLE data, Saved& saved);
    // On the open clipboard.
    bool PutBack(HWND owner);
    static bool Put(Saved& saved);
    void Drop() noexcept;

    bool m_pending = false;
    std::vector<Saved> m_formats;
};

} // namespace kelvo
