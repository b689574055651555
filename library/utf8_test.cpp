#include "library/utf8.h"

#include <gtest/gtest.h>

#include "base/test_printable.h"

using namespace kelvo;

TEST(Utf8, FaultsAreFoundWhereTheyStart) {
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::size_t> fault;
    } cases[] = {
        {"ASCII", "plain, text\r\n", std::nullopt},
        {"every length", "\x41\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", std::nullopt},
        {"highest character", "\xF4\x8F\xBF\xBF", std::nullopt},
        {"noncharacter is UTF-8", "\xEF\xBF\xBE", std::nullopt},
        {"stray continuation", "ab\x80", 2},
        {"Latin-1 e acute", "caf\xE9 au lait", 3},
        {"overlong two bytes", "\xC0\x80", 0},
        {"overlong three bytes", "x\xE0\x80\x80", 1},
        {"encoded surrogate", "\xED\xA0\x80", 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0},
        {"cut at the end", "ok\xE2\x82", 2},
        {"lead without continuation",
         "\xC3"
         "A",
         0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindUtf8Fault(c.bytes), c.fault) << c.name;
}

TEST(Utf8, EveryKindOfCharacterSurvivesTheRoundTrip) {
    const std::u16string text = u"A\u00E9\u20AC\uFFFD\U0001F600\U0010FFFF\t\r\n\u05D0\u4E2D";
    std::string bytes;
    AppendUtf8(bytes, text);
    EXPECT_FALSE(FindUtf8Fault(bytes));
    EXPECT_EQ(Utf8ToUtf16(bytes), text);
}

TEST(Utf8, LoneSurrogatesHaveNoUtf8Form) {
    const std::u16string text = {u'a', char16_t(0xD83D), u'b', char16_t(0xDE00), u'c'};
    std::string bytes;
    AppendUtf8(bytes, text);
    EXPECT_EQ(bytes, "abc");
}

TEST(Utf8, PositionsCountLinesOfEveryEndingAndCharactersNotBytes) {
    struct Case {
        std::string bytes;
        std::size_t offset;
        int line, column;
    } cases[] = {
        {"abc", 0, 1, 1},
        {"abc", 2, 1, 3},
        {"a\nb", 2, 2, 1},
        {"a\r\nbc", 4, 2, 2},
        {"a\rb", 2, 2, 1},
        {"a\r\n", 1, 1, 2}, // on the line break itself: still its line
        {"\xC3\xA9\xE2\x82\xAC"
         "x",
         5, 1, 3},
        {"\xF0\x9F\x98\x80"
         "x",
         4, 1, 2},
        {"\n\n\n", 3, 4, 1},
    };
    for (const auto& c : cases) {
        const TextPosition at = PositionAt(c.bytes, c.offset);
        EXPECT_EQ(at.line, c.line) << Printable(Utf8ToUtf16(c.bytes)) << " @" << c.offset;
        EXPECT_EQ(at.column, c.column) << Printable(Utf8ToUtf16(c.bytes)) << " @" << c.offset;
    }
}
