#pragma once
// The mark-up of context-help tips, read as the small part of HTML that tips
// use: headings <h1> to <h6>, line breaks <br>, and text with character
// references. Other tags are dropped and their text kept; runs of white space
// become one space, as in HTML. A line break right after a heading ends the
// heading's line rather than adding an empty one.

#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

struct TipToken {
    enum class Kind { kText, kBreak };

    Kind kind = Kind::kText;
    int heading = 0; // 1 to 6 inside a heading, else 0
    std::u16string text;

    bool operator==(const TipToken&) const = default;
};

// Text tokens in reading order with a Break wherever a new line must start.
std::vector<TipToken> ParseTipMarkup(std::u16string_view markup);

} // namespace kelvo
