#include "paste/clipboard.h"

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <vector>

#include "paste/send_input_output.h"

namespace kelvo {

namespace {

bool OpenPatiently(HWND owner) {
    const auto deadline =
        PasteClock::now() + std::chrono::milliseconds(kClipboardTries * kClipboardRetryMs);
    for (;;) {
        if (::OpenClipboard(owner))
            return true;
        if (PasteClock::now() >= deadline)
            return false;
        PasteWait(1);
    }
}

} // namespace

PasteClipboardSession::PasteClipboardSession(HWND owner) : m_open(OpenPatiently(owner)) {}

PasteClipboardSession::~PasteClipboardSession() {
    if (m_open)
        ::CloseClipboard();
}

bool PutClipboardText(std::wstring_view text) {
    return PutClipboardBlock(CF_UNICODETEXT, (text.size() + 1) * sizeof(wchar_t), [&](void* block) {
        auto* out = static_cast<wchar_t*>(block);
        *std::copy(text.begin(), text.end(), out) = L'\0';
    });
}

bool PutPrivacyMarkers() {
    // Each holds a DWORD 0: "no" to history and cloud; the first one counts by
    // its presence alone.
    for (const wchar_t* name : {L"ExcludeClipboardContentFromMonitorProcessing",
                                L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
        const UINT format = ::RegisterClipboardFormatW(name);
        if (!format || !PutClipboardBlock(format, sizeof(DWORD),
                                          [](void* block) { *static_cast<DWORD*>(block) = 0; }))
            return false;
    }
    return true;
}

void WipeOwnClipboardText() noexcept {
    DWORD owner_process = 0;
    const HWND owner = ::GetClipboardOwner();
    if (!owner || !::GetWindowThreadProcessId(owner, &owner_process) ||
        owner_process != ::GetCurrentProcessId())
        return;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return;
    if (LockedGlobal<void> lock(data); lock)
        SecureWipe(lock.Get(), ::GlobalSize(data));
}

bool ReadClipboardText(SecureWideChars& text) {
    text = {};
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return false;
    LockedGlobal<const wchar_t> lock(data);
    if (!lock)
        return false;
    // A block without a terminator ends where the block ends.
    const std::size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    const std::size_t length = ::wcsnlen(lock.Get(), capacity);
    text.assign(lock.Get(), lock.Get() + length);
    return true;
}

std::wstring ClipboardHolderName() {
    DWORD process_id = 0;
    if (HWND holder = ::GetOpenClipboardWindow())
        ::GetWindowThreadProcessId(holder, &process_id);
    if (!process_id)
        return {};
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process)
        return {};
    std::vector<wchar_t> path(32768);
    auto size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size))
        return {};
    const std::wstring_view full(path.data(), size);
    const std::size_t slash = full.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? full : full.substr(slash + 1));
}

} // namespace kelvo
