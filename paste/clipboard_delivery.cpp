#include "paste/clipboard_delivery.h"

#include "paste/clipboard.h"
#include "paste/send_input_output.h"

namespace kelvo {

CClipboardDelivery::CClipboardDelivery(CClipboardRenderOwner& owner, HWND target,
                                       DWORD paste_delay_ms, bool secret,
                                       CClipboardRestore* restore)
    : m_owner(owner), m_pasteDelay(std::chrono::milliseconds(paste_delay_ms)), m_secret(secret),
      m_restore(restore), m_lastKeystroke(PasteClock::now()) {
    ::GetWindowThreadProcessId(target, &m_targetProcess);
}

bool CClipboardDelivery::Deliver(std::wstring_view text) {
    // The text goes on after the wait: a target that reads the run before
    // in more than one go has the paste delay to finish.
    PasteWaitUntil(m_lastKeystroke + m_pasteDelay);
    if (!Place(text))
        return false;
    static constexpr KeyEvent kCtrlV[] = {{VK_CONTROL, true, false},
                                          {'V', false, false},
                                          {'V', false, true},
                                          {VK_CONTROL, true, true}};
    SendKeyEvents(kCtrlV);
    m_lastKeystroke = PasteClock::now();
    m_owner.KeystrokeSent();
    const auto state =
        m_owner.WaitForRead(PasteClock::now() + std::chrono::milliseconds(kReadTimeoutMs));
    switch (state) {
    case CClipboardRenderOwner::ReadState::kRead:
        return true;
    case CClipboardRenderOwner::ReadState::kReplaced:
        m_failure = Failure::kReplaced;
        return false;
    case CClipboardRenderOwner::ReadState::kWaiting:
        break;
    }
    m_failure = Failure::kNotRead;
    return false;
}

bool CClipboardDelivery::Place(std::wstring_view text) {
    PasteClipboardSession clipboard(m_owner.Window());
    if (!clipboard) {
        m_failure = Failure::kBusy;
        m_holder = ClipboardHolderName();
        return false;
    }
    if (m_restore)
        m_restore->Remember(m_owner.Window());
    // The markers first: a secret never stands on the clipboard without them.
    if (!::EmptyClipboard() || (m_secret && !PutPrivacyMarkers()) ||
        !m_owner.Offer(text, m_targetProcess, m_secret)) {
        m_failure = Failure::kNotPlaced;
        return false;
    }
    return true;
}

} // namespace kelvo
