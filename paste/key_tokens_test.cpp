#include "paste/key_tokens.h"

#include <gtest/gtest.h>

#include "base/test_printable.h"

namespace kelvo {
namespace {

// The editor colours and completes these texts, so they must stay well formed:
// bracketed, upper case, and none the beginning of another.
TEST(KeyTokens, TextsAreBracketedUpperCaseAndPrefixFree) {
    for (const KeyToken& token : kKeyTokens) {
        SCOPED_TRACE(Printable(token.text));
        ASSERT_GE(token.text.size(), 3u);
        EXPECT_EQ(token.text.front(), u'[');
        EXPECT_EQ(token.text.back(), u']');
        for (char16_t c : token.text)
            EXPECT_EQ(c, AsciiUpper(c));
        for (const KeyToken& other : kKeyTokens) {
            if (&other != &token) {
                EXPECT_FALSE(other.text.starts_with(token.text));
            }
        }
    }
}

TEST(KeyTokens, MatchNeedsTheWholeTokenInAnyCase) {
    struct Case {
        std::u16string_view text;
        int code; // -1: no token
    };
    const Case cases[] = {
        {u"[TAB]", 0x09},    {u"[tab]rest", 0x09}, {u"[Tab]", 0x09}, {u"[F1]", 0x70},
        {u"[F10]", 0x79},    {u"[f12]", 0x7B},     {u"[END]", 0x23}, {u"[ENTER]", 0x0D},
        {u"[window]", 0x5B}, {u"[TAB ]", -1},      {u"[TAB", -1},    {u"[F1", -1},
        {u"[ENT]", -1},      {u"[F13]", -1},       {u"TAB]", -1},    {u"", -1},
        {u"[\u0131NS]", -1}, // dotless i is not "I"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        const KeyToken* token = MatchKeyToken(c.text);
        EXPECT_EQ(token ? token->code : -1, c.code);
    }
}

TEST(KeyTokens, BracketCompletionsContinueEveryBracketForm) {
    ASSERT_EQ(kBracketCompletions.size(), 35u);
    EXPECT_EQ(kBracketCompletions[0], u"\\");
    EXPECT_EQ(kBracketCompletions[1], u"\\x");
    EXPECT_EQ(kBracketCompletions[2], u"*");
    EXPECT_EQ(kBracketCompletions[3], u"TAB]");
    EXPECT_EQ(kBracketCompletions[33], u"F12]");
    EXPECT_EQ(kBracketCompletions[34], u"SLEEP");
    // Each token's completion, after the "[" the user typed, is that token.
    for (std::size_t i = 0; i < kKeyTokens.size(); ++i) {
        const std::u16string typed = u"[" + std::u16string(kBracketCompletions[3 + i]);
        EXPECT_EQ(MatchKeyToken(typed), &kKeyTokens[i]) << i;
    }
}

} // namespace
} // namespace kelvo
