#include "library/tokenizer.h"

namespace {

bool IsOneOf(char16_t c, std::u16string_view set) {
    return set.find(c) != set.npos;
}

} // namespace

std::vector<std::u16string> SplitTokens(std::u16string_view text, std::u16string_view separators,
                                        std::u16string_view kept_separators,
                                        std::u16string_view quotes, std::u16string_view escapes) {
    std::vector<std::u16string> tokens;
    std::u16string token;
    bool in_quote = false;
    auto flush = [&] {
        if (!token.empty())
            tokens.push_back(std::move(token));
        token.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (IsOneOf(c, escapes)) {
            if (++i < text.size())
                token.push_back(text[i]);
        } else if (IsOneOf(c, quotes)) {
            in_quote = !in_quote;
        } else if (!in_quote && IsOneOf(c, separators)) {
            flush();
        } else if (!in_quote && IsOneOf(c, kept_separators)) {
            flush();
            tokens.emplace_back(1, c);
        } else {
            token.push_back(c);
        }
    }
    flush();
    return tokens;
}

std::vector<std::u16string> SplitTags(std::u16string_view text) {
    return SplitTokens(text, u";,", u"", u"\"", u"\\");
}
