#pragma once
// Case-insensitive comparison of names and keys, as the system compares them
// (ordinal, with the platform's upper-case mapping).

#include <string_view>

namespace kelvo {

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept;

} // namespace kelvo
