#pragma once
// Zero-copy views between the platform-neutral UTF-16 text (char16_t) and the
// Windows API's wchar_t, which on Windows is the same 16-bit code unit.

#include <string>
#include <string_view>

namespace kelvo {

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWcstr(const char16_t* s) noexcept {
    return reinterpret_cast<const wchar_t*>(s);
}
inline const char16_t* AsU16cstr(const wchar_t* s) noexcept {
    return reinterpret_cast<const char16_t*>(s);
}
inline std::wstring_view AsWide(std::u16string_view s) noexcept {
    return {AsWcstr(s.data()), s.size()};
}
inline std::u16string_view AsU16(std::wstring_view s) noexcept {
    return {AsU16cstr(s.data()), s.size()};
}
#endif

} // namespace kelvo
