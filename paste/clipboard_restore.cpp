#include "paste/clipboard_restore.h"

#include "paste/clipboard.h"

namespace kelvo {

void CClipboardRestore::Remember() {
    if (m_pending && ::GetClipboardSequenceNumber() == m_sequence) {
        WipeOwnClipboardText(); // the secret before, which is emptied next
        return;
    }
    Drop();
    m_hadText = ReadClipboardText(m_text);
}

void CClipboardRestore::Placed() noexcept {
    m_sequence = ::GetClipboardSequenceNumber();
    m_pending = true;
}

bool CClipboardRestore::Restore(HWND owner) {
    if (!m_pending)
        return true;
    {
        ClipboardSession clipboard(owner, kClipboardTries, kClipboardRetryMs);
        if (!clipboard)
            return false;
        if (::GetClipboardSequenceNumber() == m_sequence) {
            WipeOwnClipboardText();
            if (::EmptyClipboard() && m_hadText)
                PutClipboardText({m_text.data(), m_text.size()});
        }
    }
    Drop();
    return true;
}

void CClipboardRestore::Drop() noexcept {
    SecureWideChars().swap(m_text); // the old storage is wiped as it goes
    m_hadText = false;
    m_pending = false;
}

} // namespace kelvo
