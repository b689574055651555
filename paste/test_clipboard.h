#pragma once
// Test helpers: the clipboard set as a program copying would, and read back.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "paste/clipboard.h"

namespace test_clipboard {

// Puts `text` on the clipboard for `owner`; nullopt leaves it holding a
// format of no text only.
inline void Copy(HWND owner, const std::optional<std::wstring>& text) {
    kelvo::ClipboardSession clipboard(owner, kelvo::kClipboardTries, kelvo::kClipboardRetryMs);
    ASSERT_TRUE(clipboard);
    ::EmptyClipboard();
    if (text)
        ASSERT_TRUE(kelvo::PutClipboardText(*text));
    else
        ASSERT_TRUE(kelvo::PutClipboardBlock(::RegisterClipboardFormatW(L"Kelvo test picture"), 4,
                                             [](void* block) { *static_cast<DWORD*>(block) = 7; }));
}

// The clipboard's text, "<no text>" without one.
inline std::wstring Text() {
    kelvo::ClipboardSession clipboard(nullptr, kelvo::kClipboardTries, kelvo::kClipboardRetryMs);
    kelvo::SecureWideChars text;
    if (!clipboard || !kelvo::ReadClipboardText(text))
        return L"<no text>";
    return {text.data(), text.size()};
}

// The DWORD a registered format holds, nullopt when the clipboard has none.
inline std::optional<DWORD> Marker(const wchar_t* name) {
    kelvo::ClipboardSession clipboard(nullptr, kelvo::kClipboardTries, kelvo::kClipboardRetryMs);
    HANDLE data = clipboard ? ::GetClipboardData(::RegisterClipboardFormatW(name)) : nullptr;
    if (!data || ::GlobalSize(data) < sizeof(DWORD))
        return std::nullopt;
    kelvo::LockedGlobal<const DWORD> value(data);
    return *value.Get();
}

} // namespace test_clipboard
