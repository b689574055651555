#include "paste/clipboard_render_owner.h"

#include <algorithm>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "paste/clipboard.h"
#include "paste/line_ends.h"

namespace kelvo {

namespace {

constexpr wchar_t kClassName[] = L"KelvoClipboardOwner";
constexpr wchar_t kProperty[] = L"KelvoClipboardOwner_this";

} // namespace

CClipboardRenderOwner::CClipboardRenderOwner() {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(
        ClassDescription(module, kClassName,
                         &OwnWindowProc<kProperty, &CClipboardRenderOwner::WindowProc,
                                        &CClipboardRenderOwner::m_window>));
    ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, this);
}

CClipboardRenderOwner::~CClipboardRenderOwner() {
    // The window is unbound before it is destroyed, so its
    // WM_RENDERALLFORMATS would not reach this object.
    RenderForGood();
}

bool CClipboardRenderOwner::Offer(std::wstring_view text, DWORD target_process, bool secret) {
    Drop();
    const std::u16string_view run = AsU16(text);
    m_text.resize(CrLfLength(run) + 1);
    *CopyWithCrLf(run, reinterpret_cast<char16_t*>(m_text.data())) = u'\0';
    m_secret = secret;
    m_targetProcess = target_process;
    m_keystrokeSent = false;
    m_state = ReadState::kWaiting;
    // A null handle offers the format; SetClipboardData's result says nothing then.
    ::SetClipboardData(CF_UNICODETEXT, nullptr);
    m_offered = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    if (!m_offered)
        Drop();
    return m_offered;
}

CClipboardRenderOwner::ReadState
CClipboardRenderOwner::WaitForRead(PasteClock::time_point deadline) {
    using std::chrono::milliseconds;
    for (;;) {
        // Answers the sent messages waiting; removes nothing from the queue.
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (m_state != ReadState::kWaiting)
            return m_state;
        const auto left = deadline - PasteClock::now();
        if (left <= PasteClock::duration::zero())
            return m_state;
        const auto wait = std::chrono::ceil<milliseconds>(left);
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait.count()), QS_SENDMESSAGE,
                                      0);
    }
}

LRESULT CClipboardRenderOwner::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_RENDERFORMAT:
        if (wparam == CF_UNICODETEXT)
            Render();
        return 0;
    case WM_RENDERALLFORMATS:
        RenderForGood();
        return 0;
    case WM_DESTROYCLIPBOARD:
        // Emptied: by the next run or the restore, or by a program copying.
        if (m_offered)
            m_state = ReadState::kReplaced;
        Drop();
        return 0;
    default:
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

bool CClipboardRenderOwner::MayRead() const {
    if (!m_keystrokeSent)
        return false;
    if (!m_secret)
        return true;
    DWORD reader = 0;
    if (HWND open = ::GetOpenClipboardWindow())
        ::GetWindowThreadProcessId(open, &reader);
    return reader == 0 || reader == m_targetProcess;
}

void CClipboardRenderOwner::Render() {
    if (!m_offered || !MayRead())
        return;
    // Within the reader's open clipboard: no OpenClipboard here.
    if (PutText()) {
        m_state = ReadState::kRead;
        Drop();
    }
}

void CClipboardRenderOwner::RenderForGood() {
    // A secret is never left on the clipboard for whoever comes: it goes
    // unrendered with its owner.
    if (m_offered && !m_secret) {
        ClipboardSession clipboard(Window(), kClipboardTries, kClipboardRetryMs);
        if (clipboard && ::GetClipboardOwner() == Window())
            PutText();
    }
    Drop();
}

bool CClipboardRenderOwner::PutText() const {
    return PutClipboardBlock(CF_UNICODETEXT, m_text.size() * sizeof(wchar_t), [&](void* block) {
        std::copy(m_text.begin(), m_text.end(), static_cast<wchar_t*>(block));
    });
}

void CClipboardRenderOwner::Drop() noexcept {
    SecureWideChars().swap(m_text); // the old storage is wiped as it goes
    m_offered = false;
}

} // namespace kelvo
