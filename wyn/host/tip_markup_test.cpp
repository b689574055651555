#include "wyn/host/tip_markup.h"

#include <gtest/gtest.h>

namespace {

using kelvo::ParseTipMarkup;
using kelvo::TipToken;
using Kind = TipToken::Kind;

TipToken Text(std::u16string text, int heading = 0) {
    return {Kind::kText, heading, std::move(text)};
}
const TipToken kBreak{Kind::kBreak, 0, {}};

TEST(TipMarkup, HeadingThenBreakThenSentenceMakesTwoLines) {
    // The form of every tip of the program's own descriptions.
    EXPECT_EQ(ParseTipMarkup(u"\n  <h2>Invalid password</h2><br>\n"
                             u"  Please enter valid password to continue.\n"),
              (std::vector<TipToken>{Text(u"Invalid password", 2), kBreak,
                                     Text(u"Please enter valid password to continue.")}));
}

TEST(TipMarkup, BreaksAndHeadingsStartLines) {
    const struct {
        std::u16string markup;
        std::vector<TipToken> expected;
    } cases[] = {
        {u"one<br>two", {Text(u"one"), kBreak, Text(u"two")}},
        {u"one<BR/><br />two", {Text(u"one"), kBreak, kBreak, Text(u"two")}},
        {u"text <H1>Title</H1> more",
         {Text(u"text"), kBreak, Text(u"Title", 1), kBreak, Text(u"more")}},
        {u"<h3>A</h3>\n<h4>B</h4>", {Text(u"A", 3), kBreak, Text(u"B", 4)}},
        {u"<br>start", {kBreak, Text(u"start")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTipMarkup(c.markup), c.expected);
}

TEST(TipMarkup, WhiteSpaceCollapsesAndUnknownTagsKeepTheirText) {
    EXPECT_EQ(ParseTipMarkup(u"  a \t\r\n b <b>bold</b> <font color=red>c</font>  "),
              (std::vector<TipToken>{Text(u"a b bold c")}));
}

TEST(TipMarkup, CharacterReferences) {
    EXPECT_EQ(ParseTipMarkup(u"&lt;a&gt; &amp;&quot;&apos;&nbsp;&#65;&#x42;&#x1F600;"),
              (std::vector<TipToken>{Text(u"<a> &\"'\u00A0AB\U0001F600")}));
}

TEST(TipMarkup, MalformedInputStaysText) {
    const struct {
        std::u16string markup;
        std::u16string text;
    } cases[] = {
        {u"a < b", u"a < b"},                   // an unclosed '<'
        {u"&unknown; &amp", u"&unknown; &amp"}, // not a reference
        {u"&#xZZ; &#; &#9999999;", u"&#xZZ; &#; \uFFFD"},
        {u"&#0;&#xD800;", u"\uFFFD\uFFFD"}, // no zero or lone surrogate
        {u"x<!-- hidden <br> -->y", u"xy"},
        {u"x<!-- unterminated", u"x"},
    };
    for (const auto& c : cases) {
        const auto tokens = ParseTipMarkup(c.markup);
        ASSERT_EQ(tokens.size(), 1u);
        EXPECT_EQ(tokens[0], Text(c.text));
    }
}

TEST(TipMarkup, EmptyMarkupHasNoTokens) {
    EXPECT_TRUE(ParseTipMarkup(u"").empty());
    EXPECT_TRUE(ParseTipMarkup(u"  \n <p> </p> ").empty());
}

} // namespace
