#pragma once
// Line ends as the clipboard's text carries them: every line feed that does
// not follow a carriage return gets one put before it; carriage returns and
// carriage return-line feed pairs stay as they are.

#include <cstddef>
#include <string_view>

namespace kelvo {

// The length of `text` once converted.
std::size_t CrLfLength(std::u16string_view text) noexcept;

// Writes `text` converted to `out`, which has room for CrLfLength(text)
// characters; returns the end of what it wrote.
char16_t* CopyWithCrLf(std::u16string_view text, char16_t* out) noexcept;

} // namespace kelvo
