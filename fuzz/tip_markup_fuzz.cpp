// The tip mark-up reader on arbitrary UTF-16 text: no crash, no hang, and the
// tokens keep their promises (text tokens hold text, breaks none, headings
// within 0 to 6).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "wyn/host/tip_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string_view markup(reinterpret_cast<const char16_t*>(data), size / 2);
    const auto tokens = kelvo::ParseTipMarkup(markup);
    for (const kelvo::TipToken& token : tokens) {
        if (token.heading < 0 || token.heading > 6)
            std::abort();
        if (token.kind == kelvo::TipToken::Kind::kText && token.text.empty())
            std::abort();
        if (token.kind == kelvo::TipToken::Kind::kBreak && !token.text.empty())
            std::abort();
    }
    return 0;
}
