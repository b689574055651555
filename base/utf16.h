#pragma once
// Zero-copy views between the platform-neutral UTF-16 text (char16_t) and the
// Windows API's wchar_t, which on Windows is the same 16-bit code unit.

#include <string>
#include <string_view>

namespace kelvo {

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* as_wcstr(const char16_t* s) noexcept {
    return reinterpret_cast<const wchar_t*>(s);
}
inline const char16_t* as_u16cstr(const wchar_t* s) noexcept {
    return reinterpret_cast<const char16_t*>(s);
}
inline std::wstring_view as_wide(std::u16string_view s) noexcept {
    return {as_wcstr(s.data()), s.size()};
}
inline std::u16string_view as_u16(std::wstring_view s) noexcept {
    return {as_u16cstr(s.data()), s.size()};
}
#endif

} // namespace kelvo
