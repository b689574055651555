#pragma once
// Reads an integer the way the C library's wcstol does in the "C" locale with
// a 32-bit long: leading white space, an optional sign, for base 16 an
// optional "0x" prefix, then digits up to the first character that is not a
// digit of the base. Out-of-range values clamp to the 32-bit limits; text
// with no digits reads 0.

#include <cstdint>
#include <string_view>

namespace kelvo {

enum class NumberBase { kDecimal = 10, kHexadecimal = 16 };

std::int32_t ReadInteger(std::u16string_view text, NumberBase base) noexcept;

} // namespace kelvo
