#include "base/read_integer.h"

#include <limits>

namespace kelvo {

namespace {

bool IsSpace(char16_t c) noexcept {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// The value of `c` as a digit, or a value not below any base when it is none.
int DigitValue(char16_t c) noexcept {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z')
        return c - u'A' + 10;
    return 36;
}

} // namespace

std::int32_t ReadInteger(std::u16string_view text, NumberBase base) noexcept {
    const int radix = static_cast<int>(base);
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // "0x" is a prefix only when a hex digit follows; otherwise the "0" is
    // the whole number, which reads the same.
    if (base == NumberBase::kHexadecimal && i + 2 < text.size() && text[i] == u'0' &&
        (text[i + 1] == u'x' || text[i + 1] == u'X') && DigitValue(text[i + 2]) < radix)
        i += 2;

    // Accumulate the magnitude, stopping once it is past every 32-bit value.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= radix)
            break;
        if (magnitude <= kLimit)
            magnitude = magnitude * radix + digit;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace kelvo
