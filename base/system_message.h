#pragma once
// The system's words for a Win32 error code.

#include <windows.h>

#include <iterator>
#include <string>

namespace kelvo {

// The system's description of an error, without its final line break.
inline std::wstring SystemMessage(DWORD error) {
    wchar_t text[512] = {};
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                               error, 0, text, static_cast<DWORD>(std::size(text)), nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' '))
        --n;
    if (n == 0)
        return L"Error " + std::to_wstring(error) + L".";
    return std::wstring(text, n);
}

} // namespace kelvo
