#include "paste/line_ends.h"

namespace kelvo {

namespace {

bool NeedsCarriageReturn(std::u16string_view text, std::size_t i) noexcept {
    return text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r');
}

} // namespace

std::size_t CrLfLength(std::u16string_view text) noexcept {
    std::size_t length = text.size();
    for (std::size_t i = 0; i < text.size(); ++i)
        length += NeedsCarriageReturn(text, i) ? 1 : 0;
    return length;
}

char16_t* CopyWithCrLf(std::u16string_view text, char16_t* out) noexcept {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (NeedsCarriageReturn(text, i))
            *out++ = u'\r';
        *out++ = text[i];
    }
    return out;
}

} // namespace kelvo
