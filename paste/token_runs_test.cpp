#include "paste/token_runs.h"

#include <gtest/gtest.h>

#include <string>

#include "paste/token_edit_model.h"

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

TEST(RunsToFormat, WhatWasTypedAndWhatChangedLookAreFormattedAndTheResultIsTheWholeLook) {
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
        // a selection typed over, by what begins or ends like it
        {{u"[TAB]name", 5, 4, u"new"}, 1},
        {{u"[[[][A", 3, 2, u"["}, 1},
        {{u"[TAB] x", 5, 1, u" "}, 2}, // the same text again: all of it
    };
    for (const auto& c : cases) {
        const std::u16string after = After(c.edit);
        const std::string name(after.begin(), after.end());
        const TokenLook shown = LookOf(c.edit.before);
        const TokenLook wanted = LookOf(after);
        const TypedSpan typed{c.edit.at, c.edit.at + c.edit.typed.size()};
        const auto runs = RunsToFormat(shown, wanted, typed);
        EXPECT_LE(runs.size(), c.most_runs) << name;
        EXPECT_EQ(Applied(c.edit, shown, runs), wanted.token) << name;
        // Where only characters were added or only removed, the texts say
        // enough.
        if (c.edit.erased == 0 || c.edit.typed.empty()) {
            EXPECT_EQ(Applied(c.edit, shown, RunsToFormat(shown, wanted)), wanted.token) << name;
        }
    }
}

} // namespace
} // namespace kelvo
