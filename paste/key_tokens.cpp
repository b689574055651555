#include "paste/key_tokens.h"

namespace kelvo {

const KeyToken* MatchKeyToken(std::u16string_view text) noexcept {
    for (const KeyToken& token : kKeyTokens) {
        if (StartsWithNoCase(text, token.text))
            return &token;
    }
    return nullptr;
}

} // namespace kelvo
