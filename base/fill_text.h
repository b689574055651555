#pragma once
// Messages with places for values.

#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvo {

// The text with "%1", "%2", ... replaced by the values in order; what the
// values hold (a title, a file name) is never read as a placeholder.
inline std::wstring FillText(std::wstring_view text, std::initializer_list<std::wstring> values) {
    std::wstring result;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const std::size_t index =
            at + 1 < text.size() ? static_cast<std::size_t>(text[at + 1] - L'1') : values.size();
        if (text[at] == L'%' && index < values.size()) {
            result += values.begin()[index];
            ++at;
        } else {
            result += text[at];
        }
    }
    return result;
}

} // namespace kelvo
