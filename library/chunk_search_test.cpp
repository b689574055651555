#include "library/chunk_search.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

// Letters A-Z and the Latin-1 capitals fold to small letters.
const CCaseFold& TestFold() {
    static const CCaseFold fold([](char16_t* units, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            if ((units[i] >= u'A' && units[i] <= u'Z') || (units[i] >= 0xC0 && units[i] <= 0xDE))
                units[i] = static_cast<char16_t>(units[i] + 0x20);
    });
    return fold;
}

struct Chunk {
    std::u16string title;
    std::u16string text;
    std::vector<std::u16string> tags;
    bool encrypted = false;
};

const Chunk kChunks[] = {
    {u"Home address", u"Main Street 5[ENTER]", {u"work", u"mail"}},
    {u"Workshop notes", u"bring tools", {u"workshop"}},
    {u"Signature", u"Kind regards", {u"Work", u"two words"}},
    {u"Bank", u"QmFzZTY0IGNpcGhlcnRleHQ=", {u"urgent"}, true},
    {u"Caf\u00e9 order", u"\u00c9CLAIR please", {}},
};

// The titles of the chunks that the find text selects, in order.
std::vector<std::u16string> Find(std::u16string_view find_text) {
    const CFindQuery query(find_text, TestFold());
    std::vector<std::u16string> titles;
    for (const auto& chunk : kChunks)
        if (query.Matches(chunk.title, chunk.text, chunk.encrypted, chunk.tags,
                          [](const std::u16string& tag) { return std::u16string_view(tag); }))
            titles.push_back(chunk.title);
    return titles;
}

std::string Narrow(std::u16string_view text) {
    return {text.begin(), text.end()};
}

TEST(FindQuery, SelectsTheChunksItsTermsDescribe) {
    using Titles = std::vector<std::u16string>;
    const Titles all{u"Home address", u"Workshop notes", u"Signature", u"Bank", u"Caf\u00e9 order"};
    struct Case {
        std::u16string_view find_text;
        Titles expected;
    } cases[] = {
        {u"", all},
        {u"   ", all},
        {u"#work", {u"Home address", u"Signature"}}, // whole tags in any case, not "workshop"
        {u"#WORK", {u"Home address", u"Signature"}},
        {u"+work", {u"Home address", u"Signature"}},
        {u"*work", {u"Home address", u"Signature"}},
        {u"@work", {u"Home address", u"Signature"}},
        {u"#wor", {}},
        {u"work", {u"Workshop notes"}}, // title or text only: tags are not searched
        {u"street", {u"Home address"}},
        {u"STREET 5", {u"Home address"}}, // two terms, both must hold
        {u"street tools", {}},
        {u"\"street 5\"", {u"Home address"}}, // quotes group a term, spaces and all
        {u"#", all},                          // a lone marker filters nothing
        {u"# + * @", all},
        {u"# kind", {u"Signature"}},
        {u"#\"two words\"", {u"Signature"}},
        {u"#two", {}},
        {u"#urgent", {u"Bank"}},
        {u"bank", {u"Bank"}},
        {u"cGhlcnRl", {}}, // an encrypted chunk's ciphertext is never searched
        {u"q", {}},
        {u"CAF\u00c9", {u"Caf\u00e9 order"}}, // folding beyond ASCII
        {u"\u00e9clair", {u"Caf\u00e9 order"}},
        {u"\\#work", {u"Home address", u"Signature"}}, // the escape is dropped: still a tag term
        {u"[enter]", {u"Home address"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(c.find_text), c.expected) << Narrow(c.find_text);
}

TEST(CaseFold, ContainsFindsEveryPlaceAndNothingPastTheEnd) {
    const CCaseFold& fold = TestFold();
    struct Case {
        std::u16string_view text;
        std::u16string_view needle;
        bool expected;
    } cases[] = {
        {u"", u"", true},         {u"abc", u"", true},
        {u"", u"a", false},       {u"ab", u"abc", false},
        {u"xxABC", u"abc", true}, {u"aab", u"ab", true},
        {u"abab", u"bab", true},  {u"ABA", u"ab", true},
        {u"ab", u"ba", false},    {u"\u00c0", u"\u00e0", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fold.Contains(c.text, fold.Fold(c.needle)), c.expected)
            << Narrow(c.text) << " / " << Narrow(c.needle);
    EXPECT_TRUE(fold.Equal(u"WoRk", u"work"));
    EXPECT_FALSE(fold.Equal(u"work", u"works"));
}

TEST(AddTagToFindText, AppendsATagTermTheSearchReadsBackWhole) {
    struct Case {
        std::u16string_view find_text;
        std::u16string_view tag;
        std::u16string_view expected;
    } cases[] = {
        {u"", u"work", u"#work"},
        {u"mail", u"work", u"mail #work"},
        {u"", u"two words", u"#\"two words\""},
        {u"", u"say \"hi\"", u"#\"say \\\"hi\\\"\""},
        {u"", u"a\\b", u"#a\\\\b"},
        {u"", u"#hash", u"##hash"},
    };
    for (const auto& c : cases) {
        const auto text = AddTagToFindText(c.find_text, c.tag);
        EXPECT_EQ(text, c.expected) << Narrow(c.tag);
        // The search finds exactly the chunks carrying that tag.
        const std::vector<std::u16string> tags{std::u16string(c.tag)};
        EXPECT_TRUE(
            CFindQuery(text.substr(c.find_text.empty() ? 0 : c.find_text.size() + 1), TestFold())
                .Matches(u"", u"", false, tags,
                         [](const auto& t) { return std::u16string_view(t); }))
            << Narrow(text);
    }
}

} // namespace
} // namespace kelvo
