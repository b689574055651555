#pragma once
// What the clipboard held before a paste put a secret on it, put back once the
// target has had time to read the secret: the clipboard does not keep a
// decrypted text after its paste.

#include <windows.h>

#include "base/wipe.h"

namespace kelvo {

class CClipboardRestore {
public:
    CClipboardRestore() = default;
    CClipboardRestore(const CClipboardRestore&) = delete;
    CClipboardRestore& operator=(const CClipboardRestore&) = delete;

    // On the open clipboard, before a secret replaces its content: remembers
    // that content. When it is a secret placed earlier and not yet taken
    // back, what was remembered then still holds.
    void Remember();
    // After a secret was placed and the clipboard closed: the clipboard holds
    // what the paste put there, as of now.
    void Placed() noexcept;
    // A secret was placed and its clipboard content not yet taken back.
    bool Pending() const noexcept { return m_pending; }

    // If the clipboard still holds what was placed last (nobody has put
    // anything on it since), puts back the remembered text, or leaves it
    // empty when it held no text. The remembered text is wiped either way.
    // False, with the restore still pending, when the clipboard stayed busy.
    bool Restore(HWND owner);

private:
    void Drop() noexcept;

    bool m_pending = false;
    DWORD m_sequence = 0; // the clipboard's sequence number after the last placement
    bool m_hadText = false;
    SecureWideChars m_text;
};

} // namespace kelvo
