#include "paste/token_runs.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvo {
namespace {

// The text with each token run in braces.
std::u16string Marked(std::u16string_view text) {
    std::u16string marked;
    for (const TextRun& run : TokenRuns(text)) {
        const auto part = text.substr(run.start, run.length);
        marked += run.token ? u"{" + std::u16string(part) + u"}" : std::u16string(part);
    }
    return marked;
}

TEST(TokenRuns, BracketedRunsAreTokensAsTheEditorShowsThem) {
    const struct {
        std::u16string_view text;
        std::u16string_view marked;
    } cases[] = {
        {u"", u""},
        {u"Name[TAB]Street[ENTER]", u"Name{[TAB]}Street{[ENTER]}"},
        {u"[*a] [\\65] [sleep 500]", u"{[*a]} {[\\65]} {[sleep 500]}"},
        {u"[ 5] [1] [[x]", u"[ 5] [1] [{[x]}"},
        {u"a[TAB", u"a{[TAB}"},       // unclosed: to the end
        {u"[NAME] ]", u"{[NAME]} ]"}, // any word, and a lone "]"
        {u"x[\nTAB]", u"x[\nTAB]"},   // "[" then a line break
        {u"[TAB\n]y", u"{[TAB\n]}y"}, // a run goes over lines
        {u"[", u"["},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Marked(c.text), c.marked) << std::string(c.text.begin(), c.text.end());
}

// The control's look after applying the runs to what it showed; characters
// typed since take the look of the one before them, as a rich edit does.
std::vector<bool> Applied(const TokenLook& shown, std::u16string_view typed_text,
                          const std::vector<TextRun>& runs) {
    std::vector<bool> look(typed_text.size());
    std::size_t prefix = 0;
    while (prefix < shown.text.size() && prefix < typed_text.size() &&
           shown.text[prefix] == typed_text[prefix])
        ++prefix;
    for (std::size_t i = 0; i < typed_text.size(); ++i) {
        const std::size_t from_end = typed_text.size() - i;
        if (i < prefix)
            look[i] = shown.token[i];
        else if (from_end <= shown.text.size() - prefix && from_end <= shown.text.size())
            look[i] = shown.token[shown.text.size() - from_end];
        else
            look[i] = i > 0 && look[i - 1];
    }
    for (const TextRun& run : runs)
        for (std::size_t i = run.start; i < run.start + run.length; ++i)
            look[i] = run.token;
    return look;
}

TEST(RunsToFormat, OnlyWhatChangedIsFormattedAndTheResultIsTheWholeLook) {
    const struct {
        std::u16string_view before;
        std::u16string_view after;
        std::size_t most_runs; // what a keystroke may cost
    } cases[] = {
        {u"", u"Name[TAB]", 2},                       // nothing shown: everything
        {u"Name[TAB]Street", u"Name[TAB]Streetx", 1}, // typed at the end
        {u"ab[TAB cd", u"ab[TAB] cd", 2},             // the closing "]" ends the run
        {u"ab[TAB] cd", u"ab[TAB cd", 2},             // erased: the run goes on
        {u"x [TAB] y", u"x [[TAB] y", 2},
        {u"one [ENTER] two", u"one  two", 0}, // a token deleted whole
    };
    for (const auto& c : cases) {
        const TokenLook shown = LookOf(c.before);
        const TokenLook wanted = LookOf(c.after);
        const auto runs = RunsToFormat(shown, wanted);
        EXPECT_LE(runs.size(), c.most_runs) << std::string(c.after.begin(), c.after.end());
        EXPECT_EQ(Applied(shown, c.after, runs), wanted.token)
            << std::string(c.after.begin(), c.after.end());
    }
}

} // namespace
} // namespace kelvo
