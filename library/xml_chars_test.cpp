#include "library/xml_chars.h"

#include <gtest/gtest.h>

#include "library/utf8.h"

using kelvo::DropNonXmlChars;
using kelvo::DropNonXmlCharsUtf8;

namespace {

std::string Printable(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, c >= 0x20 && c < 0x7F ? "%c" : "<%04X>", c);
        out += hex;
    }
    return out;
}

} // namespace

TEST(DropNonXmlChars, DropsExactlyWhatXmlCannotCarry) {
    struct Case {
        std::u16string_view text;
        std::u16string_view kept;
    } cases[] = {
        {u"", u""},
        {u"plain text", u"plain text"},
        {u"tab\tline\ncarriage\r", u"tab\tline\ncarriage\r"},
        {std::u16string_view(u"\0a", 2), u"a"},
        {u"\u0001\u0002\u0003\u0004\u0005\u0006\u0007\u0008", u""},
        {u"a\u000Bb\u000Cc", u"abc"},
        {u"\u000E\u000F\u0010\u0011\u0012\u0013\u0014\u0015\u0016\u0017\u0018\u0019\u001A\u001B"
         u"\u001C\u001D\u001E\u001F",
         u""},
        {u" \u007F\u0080\u00A0\uD7FF\uE000\uFFFD", u" \u007F\u0080\u00A0\uD7FF\uE000\uFFFD"},
        {u"x\uFFFEy\uFFFFz", u"xyz"},
        {u"\U0001F600 \U00010000\U0010FFFF", u"\U0001F600 \U00010000\U0010FFFF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropNonXmlChars(c.text), c.kept) << Printable(c.text);
}

TEST(DropNonXmlChars, LoneSurrogatesGoAndPairsStay) {
    const char16_t high = 0xD83D, low = 0xDE00;
    struct Case {
        std::u16string text;
        std::u16string kept;
    } cases[] = {
        {{u'a', high}, u"a"},
        {{low, u'a'}, u"a"},
        {{high, high, low}, {high, low}},
        {{high, low, low}, {high, low}},
        {{low, high}, u""},
        {{high, u'\u0001', low}, u""},
        {{high, low, high, low}, {high, low, high, low}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropNonXmlChars(c.text), c.kept) << Printable(c.text);
}

TEST(DropNonXmlCharsUtf8, StripsRawForbiddenCharactersFromUtf8Only) {
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::string> kept;
    } cases[] = {
        {"clean", "<kelvo a=\"\xC3\xA9\"/>\n", std::nullopt},
        {"vertical tab",
         "<k>a\x0B"
         "b</k>",
         "<k>ab</k>"},
        {"every control", "\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0E\x1F<k/>", "<k/>"},
        {"tab, line feed, carriage return stay", "\t\n\r\x0C", "\t\n\r"},
        {"U+FFFE and U+FFFF",
         "a\xEF\xBF\xBE"
         "b\xEF\xBF\xBF"
         "c\xEF\xBF\xBD",
         "abc\xEF\xBF\xBD"},
        {"encoded surrogates",
         "a\xED\xA0\x80"
         "b\xED\xBF\xBF"
         "c\xED\x9F\xBF",
         "abc\xED\x9F\xBF"},
        {"four-byte characters stay", "\xF0\x9F\x98\x80\x01", "\xF0\x9F\x98\x80"},
        {"byte order mark stays", "\xEF\xBB\xBF<k>\x01</k>", "\xEF\xBB\xBF<k></k>"},
        {"UTF-16", std::string("<\0k\0\x01\0", 6), std::nullopt},
        {"Latin-1", "<k>\xE9\x01</k>", std::nullopt},
        {"truncated sequence", "\x01\xE2\x82", std::nullopt},
        {"overlong", "\x01\xC0\x80", std::nullopt},
        {"overlong three bytes", "\x01\xE0\x80\x80", std::nullopt},
        {"past U+10FFFF", "\x01\xF4\x90\x80\x80", std::nullopt},
        {"stray continuation", "\x01\x80", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropNonXmlCharsUtf8(c.bytes), c.kept) << c.name;
}

TEST(AppendXmlEscaped, EscapesMarkupAndWhatParsersWouldChange) {
    using kelvo::XmlEscape;
    const struct {
        const char* name;
        std::u16string_view text;
        std::string_view content;
        std::string_view attribute;
    } cases[] = {
        {"plain", u"plain text", "plain text", "plain text"},
        {"markup", u"<a>&b;]]>", "&lt;a&gt;&amp;b;]]&gt;", "&lt;a&gt;&amp;b;]]&gt;"},
        {"quotes", u"\"'", "\"'", "&quot;'"},
        {"white space", u"\t \n", "\t \n", "&#9; &#10;"},
        {"carriage returns", u"a\r\nb\rc\r\r\n\r", "a\nb\nc\n\n\n",
         "a&#13;&#10;b&#13;c&#13;&#13;&#10;&#13;"},
        {"line breaks around what XML cannot carry", u"\r\x01\n\r\xD800\n", "\n\n",
         "&#13;&#10;&#13;&#10;"},
        {"controls XML cannot carry", u"\x01\x08\x0B\x0C\x1F|\x7F", "|\x7F", "|\x7F"},
        {"two bytes", u"\x80\xE9\x7FF", "\xC2\x80\xC3\xA9\xDF\xBF", "\xC2\x80\xC3\xA9\xDF\xBF"},
        {"three bytes", u"\x800\x20AC\xD7FF\xE000\xFFFD",
         "\xE0\xA0\x80\xE2\x82\xAC\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD",
         "\xE0\xA0\x80\xE2\x82\xAC\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD"},
        {"not characters", u"a\xFFFE\xFFFF", "a", "a"},
        {"surrogate pairs", u"\xD83D\xDE00\xDBFF\xDFFF", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF",
         "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
        {"lone surrogates", u"\xD800x\xDC00\xD83D", "x", "x"},
    };
    for (const auto& c : cases) {
        std::string content = "=", attribute = "=";
        kelvo::AppendXmlEscaped(content, c.text, XmlEscape::kContent);
        kelvo::AppendXmlEscaped(attribute, c.text, XmlEscape::kAttribute);
        EXPECT_EQ(content.substr(1), c.content) << c.name;
        EXPECT_EQ(attribute.substr(1), c.attribute) << c.name;
    }
}

TEST(AppendXmlEscaped, KeepsWhatDropNonXmlCharsKeeps) {
    // Every code unit alone and after a high surrogate: what is written is
    // the kept text's UTF-8 with nothing but markup escaped.
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) {
        for (const std::u16string& text :
             {std::u16string(1, static_cast<char16_t>(unit)),
              std::u16string{u'\xD83D', static_cast<char16_t>(unit)}}) {
            std::string written;
            kelvo::AppendXmlEscaped(written, text, kelvo::XmlEscape::kContent);
            std::string expected;
            kelvo::AppendUtf8(expected, DropNonXmlChars(text));
            if (expected == "&" || expected == "<" || expected == ">" || expected == "\r")
                continue;
            EXPECT_EQ(written, expected) << Printable(text);
        }
    }
}
