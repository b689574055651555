#include "base/read_integer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cwchar>
#include <limits>
#include <random>
#include <string>

#include "base/test_printable.h"

namespace kelvo {
namespace {

// The C library's wcstol in the "C" locale, narrowed to a 32-bit long.
std::int32_t Wcstol32(std::u16string_view text, int base) {
    std::wstring wide(text.begin(), text.end());
    const long value = std::wcstol(wide.c_str(), nullptr, base);
    return static_cast<std::int32_t>(std::clamp<long>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

TEST(ReadIntegerOracle, AgreesWithWcstolOnRandomTexts) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    // Characters that steer the reading: white space, signs, prefix letters,
    // digits of both bases, the first letters beyond them, and non-ASCII look-alikes.
    const std::u16string alphabet = u" \t\n\v+-0x0X1789aAfFgGzZ]\u00a0\u3000\uff11";
    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 14);
    for (int round = 0; round < 200000; ++round) {
        std::u16string text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        for (int base : {10, 16}) {
            const auto ours = ReadInteger(text, static_cast<NumberBase>(base));
            ASSERT_EQ(ours, Wcstol32(text, base)) << "base " << base << ": " << Printable(text);
        }
    }
}

// Long digit runs overflow every intermediate; the clamp must still match.
TEST(ReadIntegerOracle, AgreesWithWcstolOnLongNumbers) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> digit(0, 15);
    for (int length = 1; length <= 40; ++length) {
        std::u16string text = length % 2 ? u"-" : u"";
        for (int n = 0; n < length; ++n)
            text += u"0123456789abcdef"[digit(random)];
        for (int base : {10, 16})
            ASSERT_EQ(ReadInteger(text, static_cast<NumberBase>(base)), Wcstol32(text, base))
                << "base " << base << ": " << Printable(text);
    }
}

} // namespace
} // namespace kelvo
