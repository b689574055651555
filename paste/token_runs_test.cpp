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

// One edit as a user makes it: `erased` characters at `at` replaced by
// `typed`.
struct Edit {
    std::u16string_view before;
    std::size_t at;
    std::size_t erased;
    std::u16string_view typed;
};

std::u16string After(const Edit& edit) {
    return std::u16string(edit.before).replace(edit.at, edit.erased, edit.typed);
}

// The control's look after the edit and then the runs: what was typed takes
// the look of the character before it, as a rich edit gives it.
std::vector<bool> Applied(const Edit& edit, const TokenLook& shown,
                          const std::vector<TextRun>& runs) {
    std::vector<bool> look(shown.token.begin(), shown.token.begin() + edit.at);
    look.insert(look.end(), edit.typed.size(), edit.at > 0 && shown.token[edit.at - 1]);
    look.insert(look.end(), shown.token.begin() + edit.at + edit.erased, shown.token.end());
    for (const TextRun& run : runs)
        for (std::size_t i = run.start; i < run.start + run.length; ++i)
            look[i] = run.token;
    return look;
}

TEST(RunsToFormat, OnlyWhatChangedIsFormattedAndTheResultIsTheWholeLook) {
    const struct {
        Edit edit;
        std::size_t most_runs; // what a keystroke may cost
    } cases[] = {
        {{u"", 0, 0, u"Name[TAB]"}, 2},         // nothing shown: everything
        {{u"Name[TAB]Street", 15, 0, u"x"}, 1}, // typed at the end
        {{u"ab[TAB cd", 6, 0, u"]"}, 2},        // the closing "]" ends the run
        {{u"ab[TAB] cd", 6, 1, u""}, 2},        // erased: the run goes on
        {{u"x [TAB] y", 2, 0, u"["}, 2},
        {{u"one [ENTER] two", 4, 7, u""}, 0}, // a token deleted whole
        // typed right after a token, before the same character
        {{u"Name[TAB] Street", 9, 0, u" "}, 1},
        {{u"[A]xx", 3, 0, u"x"}, 1},
        {{u"[A][A]", 3, 0, u"[A]"}, 1},
        {{u"[TAB]  x", 5, 1, u""}, 1},
    };
    for (const auto& c : cases) {
        const std::u16string after = After(c.edit);
        const TokenLook shown = LookOf(c.edit.before);
        const TokenLook wanted = LookOf(after);
        const auto runs = RunsToFormat(shown, wanted);
        EXPECT_LE(runs.size(), c.most_runs) << std::string(after.begin(), after.end());
        EXPECT_EQ(Applied(c.edit, shown, runs), wanted.token)
            << std::string(after.begin(), after.end());
    }
}

} // namespace
} // namespace kelvo
