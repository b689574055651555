// Arbitrary edits of arbitrary key-code texts: formatting the runs that
// RunsToFormat gives after the edit always leaves the editor showing exactly
// the look of the new text, wherever among equal characters the edit was made
// (told where the typed characters went, or for an insertion or a deletion
// without being told).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "paste/token_edit_model.h"
#include "paste/token_runs.h"

namespace {

// Few characters, so that tokens, repeats and line breaks are common.
std::u16string TextOf(const std::uint8_t* data, std::size_t size) {
    static constexpr char16_t kAlphabet[] = u"[]A *\\1\n";
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i)
        text.push_back(kAlphabet[data[i] % (std::size(kAlphabet) - 1)]);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const std::size_t typed_size = data[0] % 4;
    if (size < 3 + typed_size)
        return 0;
    const std::u16string typed = TextOf(data + 3, typed_size);
    const std::u16string before = TextOf(data + 3 + typed_size, size - 3 - typed_size);
    const std::size_t at = data[1] % (before.size() + 1);
    const std::size_t erased = data[2] % (before.size() - at + 1);
    const kelvo::Edit edit{before, at, erased, typed};
    const kelvo::TokenLook shown = kelvo::LookOf(before);
    const kelvo::TokenLook wanted = kelvo::LookOf(kelvo::After(edit));
    const kelvo::TypedSpan typed_span{at, at + typed.size()};
    if (kelvo::Applied(edit, shown, kelvo::RunsToFormat(shown, wanted, typed_span)) != wanted.token)
        std::abort();
    // Where only characters were added or only removed, the texts say enough.
    if ((erased == 0 || typed.empty()) &&
        kelvo::Applied(edit, shown, kelvo::RunsToFormat(shown, wanted)) != wanted.token)
        std::abort();
    return 0;
}
