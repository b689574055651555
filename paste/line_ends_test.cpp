#include "paste/line_ends.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvo {
namespace {

TEST(LineEnds, LineFeedsGetACarriageReturnAndNothingElseChanges) {
    const struct {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"", u""},
        {u"abc", u"abc"},
        {u"a\nb", u"a\r\nb"},
        {u"a\r\nb", u"a\r\nb"},
        {u"a\rb", u"a\rb"},
        {u"\n", u"\r\n"},
        {u"\n\n", u"\r\n\r\n"},
        {u"\r\n\n\r", u"\r\n\r\n\r"},
        {u"a\n\r\nb\n", u"a\r\n\r\nb\r\n"},
    };
    for (const auto& c : cases) {
        // One character more than needed, to see that nothing is written past the end.
        std::u16string out(CrLfLength(c.text) + 1, u'#');
        char16_t* end = CopyWithCrLf(c.text, out.data());
        EXPECT_EQ(end - out.data(), static_cast<std::ptrdiff_t>(c.expected.size()));
        EXPECT_EQ(out, c.expected + u'#');
    }
}

} // namespace
} // namespace kelvo
