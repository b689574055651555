#include "base/read_integer.h"

#include <gtest/gtest.h>

#include "paste/test_printable.h"

namespace kelvo {
namespace {

TEST(ReadInteger, ReadsLikeWcstol) {
    constexpr auto dec = NumberBase::decimal;
    constexpr auto hex = NumberBase::hexadecimal;
    struct Case {
        std::u16string_view text;
        NumberBase base;
        std::int32_t value;
    };
    const Case cases[] = {
        {u"65", dec, 65},
        {u" \t\r\n\v\f65", dec, 65},
        {u"+65", dec, 65},
        {u"-5", dec, -5},
        {u"65abc", dec, 65},
        {u"", dec, 0},
        {u"   ", dec, 0},
        {u"-", dec, 0},
        {u"- 5", dec, 0},
        {u"x41", dec, 0},
        {u"0x41", dec, 0},
        {u"\u00a065", dec, 0},     // only ASCII white space is skipped
        {u"\uff16\uff15", dec, 0}, // full-width digits are no digits
        {u"2147483647", dec, 2147483647},
        {u"2147483648", dec, 2147483647},
        {u"99999999999999999999999999", dec, 2147483647},
        {u"-2147483648", dec, -2147483647 - 1},
        {u"-2147483649", dec, -2147483647 - 1},
        {u"-99999999999999999999999999", dec, -2147483647 - 1},
        {u"41", hex, 0x41},
        {u"aF", hex, 0xAF},
        {u"0x41", hex, 0x41},
        {u"0X41", hex, 0x41},
        {u" -0x10", hex, -0x10},
        {u"0x", hex, 0},
        {u"0xg", hex, 0},
        {u"0x0x41", hex, 0},
        {u"41g1", hex, 0x41},
        {u"7fffffff", hex, 2147483647},
        {u"80000000", hex, 2147483647},
        {u"-80000000", hex, -2147483647 - 1},
        {u"ffffffffffffffffffff", hex, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        EXPECT_EQ(ReadInteger(c.text, c.base), c.value);
    }
}

} // namespace
} // namespace kelvo
