#include "base/read_integer.h"

#include <gtest/gtest.h>

#include "base/test_printable.h"

namespace kelvo {
namespace {

TEST(ReadInteger, ReadsLikeWcstol) {
    constexpr auto kDec = NumberBase::kDecimal;
    constexpr auto kHex = NumberBase::kHexadecimal;
    struct Case {
        std::u16string_view text;
        NumberBase base;
        std::int32_t value;
    };
    const Case cases[] = {
        {u"65", kDec, 65},
        {u" \t\r\n\v\f65", kDec, 65},
        {u"+65", kDec, 65},
        {u"-5", kDec, -5},
        {u"65abc", kDec, 65},
        {u"", kDec, 0},
        {u"   ", kDec, 0},
        {u"-", kDec, 0},
        {u"- 5", kDec, 0},
        {u"x41", kDec, 0},
        {u"0x41", kDec, 0},
        {u"\u00a065", kDec, 0},     // only ASCII white space is skipped
        {u"\uff16\uff15", kDec, 0}, // full-width digits are no digits
        {u"2147483647", kDec, 2147483647},
        {u"2147483648", kDec, 2147483647},
        {u"99999999999999999999999999", kDec, 2147483647},
        {u"-2147483648", kDec, -2147483647 - 1},
        {u"-2147483649", kDec, -2147483647 - 1},
        {u"-99999999999999999999999999", kDec, -2147483647 - 1},
        {u"41", kHex, 0x41},
        {u"aF", kHex, 0xAF},
        {u"0x41", kHex, 0x41},
        {u"0X41", kHex, 0x41},
        {u" -0x10", kHex, -0x10},
        {u"0x", kHex, 0},
        {u"0xg", kHex, 0},
        {u"0x0x41", kHex, 0},
        {u"41g1", kHex, 0x41},
        {u"7fffffff", kHex, 2147483647},
        {u"80000000", kHex, 2147483647},
        {u"-80000000", kHex, -2147483647 - 1},
        {u"ffffffffffffffffffff", kHex, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        EXPECT_EQ(ReadInteger(c.text, c.base), c.value);
    }
}

} // namespace
} // namespace kelvo
