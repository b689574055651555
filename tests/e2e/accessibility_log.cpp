#include "tests/e2e/accessibility_log.h"

#include <oleacc.h>

#include <algorithm>
#include <cwchar>

#include "base/com.h"

std::unique_ptr<CAccessibilityLog> CAccessibilityLog::FromEnvironment() {
    const DWORD size = ::GetEnvironmentVariableW(L"KELVO_ACCESSIBILITY_LOG", nullptr, 0);
    if (size == 0)
        return nullptr;
    std::wstring path(size, L'\0');
    if (::GetEnvironmentVariableW(L"KELVO_ACCESSIBILITY_LOG", path.data(), size) != size - 1)
        return nullptr;
    kelvo::UniqueHandle file = kelvo::AdoptFile(::CreateFileW(
        path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return nullptr;
    return std::unique_ptr<CAccessibilityLog>(new CAccessibilityLog(std::move(file)));
}

CAccessibilityLog::CAccessibilityLog(kelvo::UniqueHandle file) : m_file(std::move(file)) {
    s_current = this;
    // Out of context, for this process only: the events arrive through this
    // thread's message loop.
    m_hook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &OnEvent,
                               ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
}

CAccessibilityLog::~CAccessibilityLog() {
    if (m_hook)
        ::UnhookWinEvent(m_hook);
    s_current = nullptr;
}

void CALLBACK CAccessibilityLog::OnEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child,
                                         DWORD, DWORD) noexcept {
    if (!s_current || !window)
        return;
    try {
        s_current->LogFocus(window, object, child);
    } catch (...) {
        // A line lost to a lack of memory; the program goes on.
    }
}

namespace {

bool IsClass(const wchar_t* window_class, const wchar_t* prefix) {
    const int length = static_cast<int>(std::wcslen(prefix));
    return ::CompareStringOrdinal(window_class,
                                  std::min(length, static_cast<int>(std::wcslen(window_class))),
                                  prefix, length, TRUE) == CSTR_EQUAL;
}

// Edits (password boxes among them) and rich edits of any version: what
// they show is typed by the user.
bool IsTextField(const wchar_t* window_class) {
    return IsClass(window_class, L"Edit") || IsClass(window_class, L"RichEdit");
}

} // namespace

std::wstring CAccessibilityLog::LabelOf(HWND field) {
    const HWND before = ::GetWindow(field, GW_HWNDPREV);
    wchar_t window_class[64] = {};
    if (!before || !::GetClassNameW(before, window_class, 64) || !IsClass(window_class, L"Static"))
        return {};
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(before)), L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(before, text.data(), static_cast<int>(text.size() + 1))));
    std::wstring label;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // "&&" stands for one "&"; a single one marks the mnemonic.
        if (text[i] == L'&' && ++i == text.size())
            break;
        label += text[i];
    }
    return label;
}

void CAccessibilityLog::LogFocus(HWND window, LONG object, LONG child) {
    wchar_t window_class[64] = {};
    ::GetClassNameW(window, window_class, 64);
    const std::wstring line = std::wstring(L"focus ") + window_class + L" ";
    if (IsTextField(window_class)) {
        Write(line + LabelOf(window));
        return;
    }
    kelvo::ComPtr<IAccessible> accessible;
    kelvo::UniqueVariant item;
    if (FAILED(::AccessibleObjectFromEvent(window, static_cast<DWORD>(object), child,
                                           accessible.Put(), item.Put())) ||
        !accessible)
        return;
    // A text field drawn by the program is named by its label too.
    kelvo::UniqueVariant role;
    if (SUCCEEDED(accessible->get_accRole(*item.Get(), role.Put())) && role.Get()->vt == VT_I4 &&
        role.Get()->lVal == ROLE_SYSTEM_TEXT) {
        Write(line + LabelOf(window));
        return;
    }
    kelvo::UniqueBstr name;
    if (FAILED(accessible->get_accName(*item.Get(), name.Put())))
        name = {};
    Write(line + std::wstring(name.View()));
}

void CAccessibilityLog::Write(const std::wstring& line) {
    const std::wstring text = line + L"\n";
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(m_file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
