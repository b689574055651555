#include "paste/token_runs.h"

#include <algorithm>
#include <utility>

namespace kelvo {
namespace {

bool StartsToken(char16_t next) {
    const char16_t upper = next >= u'a' && next <= u'z' ? next - (u'a' - u'A') : next;
    return next == u'*' || next == u'\\' || (upper >= u'A' && upper <= u'Z');
}

} // namespace

std::vector<TextRun> TokenRuns(std::u16string_view text) {
    std::vector<TextRun> runs;
    bool token = false;
    const auto add = [&](std::size_t i, bool is_token) {
        if (runs.empty() || runs.back().token != is_token)
            runs.push_back({i, 0, is_token});
        ++runs.back().length;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'[' && i + 1 < text.size() && StartsToken(text[i + 1]))
            token = true;
        add(i, token);
        if (text[i] == u']')
            token = false;
    }
    return runs;
}

TokenLook LookOf(WipedString<char16_t> text) {
    std::vector<bool> token(text.size());
    for (const TextRun& run : TokenRuns(text))
        for (std::size_t i = run.start; i < run.start + run.length; ++i)
            token[i] = run.token;
    return {std::move(text), std::move(token)};
}

TokenLook LookOf(std::u16string_view text) {
    return LookOf(WipedString<char16_t>(text));
}

std::vector<TextRun> RunsToFormat(const TokenLook& shown, const TokenLook& wanted,
                                  TypedSpan typed) {
    const std::u16string_view before = shown.text;
    const std::u16string_view after = wanted.text;
    const std::size_t shortest = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shortest && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shortest &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // A change beside equal characters can have been made at any of them (a
    // blank typed before another blank): the control gave what was typed the
    // look of whatever stood before it, so every place it may have gone is
    // formatted. Outside these bounds both texts hold the same characters.
    std::size_t changed_start = std::min(prefix, shortest - suffix);
    std::size_t changed_end = after.size() - std::min(suffix, shortest - prefix);
    if (typed.start < typed.end && typed.end <= after.size()) {
        changed_start = std::min(changed_start, typed.start);
        changed_end = std::max(changed_end, typed.end);
    }
    std::vector<TextRun> runs;
    for (std::size_t i = 0; i < after.size(); ++i) {
        bool needed = i >= changed_start && i < changed_end;
        if (!needed) {
            const std::size_t old = i < changed_start ? i : i - after.size() + before.size();
            needed = shown.token[old] != wanted.token[i];
        }
        if (!needed)
            continue;
        if (!runs.empty() && runs.back().start + runs.back().length == i &&
            runs.back().token == wanted.token[i])
            ++runs.back().length;
        else
            runs.push_back({i, 1, wanted.token[i]});
    }
    return runs;
}

} // namespace kelvo
