#pragma once
// The tokenizer shared by tag lists and search queries, and the tag joiner.

#include <string>
#include <string_view>
#include <vector>

// Splits text into tokens. Outside quotes a separator ends the current token
// (empty tokens are never produced) and a kept separator also becomes a
// one-character token of its own. A quote character toggles quoting and is
// dropped; an escape character is dropped and takes the next character
// literally. White space is ordinary unless listed as a separator.
std::vector<std::u16string> SplitTokens(std::u16string_view text, std::u16string_view separators,
                                        std::u16string_view kept_separators,
                                        std::u16string_view quotes, std::u16string_view escapes);

// Tag lists as the program splits them: ";" and "," separate, '"' quotes, '\' escapes.
std::vector<std::u16string> SplitTags(std::u16string_view text);

// The tags joined by ";" with nothing around them; no quoting.
template <typename String> String JoinTags(const std::vector<String>& tags) {
    String joined;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (i > 0)
            joined.push_back(';');
        joined += tags[i];
    }
    return joined;
}
