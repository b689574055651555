#include "library/tokenizer.h"

#include <gtest/gtest.h>

using Tokens = std::vector<std::u16string>;

TEST(SplitTags, Cases) {
    struct Case {
        std::u16string_view text;
        Tokens expected;
    } cases[] = {
        {u"", {}},
        {u"work;mail,,private", {u"work", u"mail", u"private"}},
        {u"a; b", {u"a", u" b"}},           // white space is kept
        {u";;,", {}},                       // runs of separators give no empty tokens
        {u"a\"b;c\"d", {u"ab;cd"}},         // quotes anywhere in a token
        {u"\"open;ended", {u"open;ended"}}, // an unclosed quote runs to the end
        {u"x\\;y;z", {u"x;y", u"z"}},       // escaped separator
        {u"q\\\"r", {u"q\"r"}},             // escaped quote
        {u"end\\", {u"end"}},               // a final escape is dropped
        {u"\"\"", {}},                      // an empty quoted token
        {u"\U0001F600;\u00e9", {u"\U0001F600", u"\u00e9"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitTags(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
}

TEST(SplitTokens, KeptSeparatorsBecomeTokensOfTheirOwn) {
    EXPECT_EQ(SplitTokens(u"a+b \"c+d\" \\+e", u" ", u"+", u"\"", u"\\"),
              (Tokens{u"a", u"+", u"b", u"c+d", u"+e"}));
}

TEST(JoinTags, JoinsWithSemicolonsAndRoundTripsPlainTags) {
    EXPECT_EQ(JoinTags(Tokens{}), u"");
    EXPECT_EQ(JoinTags(Tokens{u"only"}), u"only");
    EXPECT_EQ(JoinTags(Tokens{u"work", u"mail", u"private"}), u"work;mail;private");
    EXPECT_EQ(JoinTags(Tokens{u"", u"x"}), u";x");
    Tokens tags{u"work", u" spaced ", u"\u00fcber"};
    EXPECT_EQ(SplitTags(JoinTags(tags)), tags);
    // No quoting: a tag holding a separator comes back split.
    EXPECT_EQ(SplitTags(JoinTags(Tokens{u"a;b"})), (Tokens{u"a", u"b"}));
}
