#include "paste/token_runs.h"

#include <algorithm>

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

TokenLook LookOf(std::u16string_view text) {
    TokenLook look{std::u16string(text), std::vector<bool>(text.size())};
    for (const TextRun& run : TokenRuns(text))
        for (std::size_t i = run.start; i < run.start + run.length; ++i)
            look.token[i] = run.token;
    return look;
}

std::vector<TextRun> RunsToFormat(const TokenLook& shown, const TokenLook& wanted) {
    const std::u16string_view before = shown.text;
    const std::u16string_view after = wanted.text;
    const std::size_t shortest = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shortest && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shortest - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::size_t changed_end = after.size() - suffix;
    std::vector<TextRun> runs;
    for (std::size_t i = 0; i < after.size(); ++i) {
        bool needed = i >= prefix && i < changed_end;
        if (!needed) {
            const std::size_t old = i < prefix ? i : i - after.size() + before.size();
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
