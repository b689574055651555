#pragma once
// Where the key-code editor shows bracketed key tokens: a "[" followed by
// "*", a backslash or a letter starts a token run, which ends with the next
// "]" (included) or runs to the end; everything else is plain. A "[" followed
// by anything else starts nothing.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/wipe.h"

namespace kelvo {

struct TextRun {
    std::size_t start;
    std::size_t length;
    bool token;

    bool operator==(const TextRun&) const = default;
};

// The runs of equal look that cover `text` from start to end, alternating.
std::vector<TextRun> TokenRuns(std::u16string_view text);

// What an editor shows: its text (which may be a secret's, so kept wiped)
// and, per character, whether it is in a token run.
struct TokenLook {
    WipedString<char16_t> text;
    std::vector<bool> token;
};
// The look of a text, which it keeps.
TokenLook LookOf(WipedString<char16_t> text);
TokenLook LookOf(std::u16string_view text);

// Where a change put what was typed or pasted, in the new text; empty when
// not known.
struct TypedSpan {
    std::size_t start = 0;
    std::size_t end = 0;
};

// The runs to format so that an editor that shows `shown` shows `wanted`,
// after a change in which the editor gave what was typed the look of the
// character before it: every character that may have been typed and every
// other one whose look changed, grouped into runs of equal look. Everything
// when nothing was shown. The texts alone tell where an insertion or a
// deletion was made, up to equal characters beside it; for a replacement
// (a selection typed over, which may begin or end with the characters it
// replaced) `typed` must say where the new characters went.
std::vector<TextRun> RunsToFormat(const TokenLook& shown, const TokenLook& wanted,
                                  TypedSpan typed = {});

} // namespace kelvo
