#include "paste/clipboard_delivery.h"

#include "base/utf16.h"
#include "paste/clipboard.h"
#include "paste/line_ends.h"
#include "paste/send_input_output.h"

namespace kelvo {

CClipboardDelivery::CClipboardDelivery(HWND owner, DWORD paste_delay_ms,
                                       CClipboardRestore* secret_restore)
    : m_owner(owner), m_pasteDelay(std::chrono::milliseconds(paste_delay_ms)),
      m_restore(secret_restore), m_lastKeystroke(PasteClock::now()) {}

bool CClipboardDelivery::Deliver(std::wstring_view text) {
    PasteWaitUntil(m_lastKeystroke + m_pasteDelay);
    if (!Place(text))
        return false;
    static constexpr KeyEvent kCtrlV[] = {{VK_CONTROL, true, false},
                                          {'V', false, false},
                                          {'V', false, true},
                                          {VK_CONTROL, true, true}};
    SendKeyEvents(kCtrlV);
    m_lastKeystroke = PasteClock::now();
    return true;
}

bool CClipboardDelivery::Place(std::wstring_view text) {
    bool placed = false;
    {
        ClipboardSession clipboard(m_owner, kClipboardTries, kClipboardRetryMs);
        if (!clipboard) {
            m_failure = Failure::kBusy;
            m_holder = ClipboardHolderName();
            return false;
        }
        if (m_restore)
            m_restore->Remember();
        if (!::EmptyClipboard()) {
            m_failure = Failure::kNotPlaced;
            return false;
        }
        // The markers first: a secret never stands on the clipboard without them.
        const std::u16string_view run = AsU16(text);
        placed = (!m_restore || PutPrivacyMarkers()) &&
                 PutClipboardBlock(CF_UNICODETEXT, (CrLfLength(run) + 1) * sizeof(char16_t),
                                   [&](void* block) {
                                       *CopyWithCrLf(run, static_cast<char16_t*>(block)) = u'\0';
                                   });
    }
    // Emptied, so what it held is gone whether or not the text went on.
    if (m_restore)
        m_restore->Placed();
    if (!placed)
        m_failure = Failure::kNotPlaced;
    return placed;
}

} // namespace kelvo
