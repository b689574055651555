// Arbitrary find texts against arbitrary chunks: a chunk matches exactly when
// a plain reading of the terms says so (every tag term names one of its tags
// with case folded, every word occurs in its folded text, unless encrypted,
// or its folded title), adding a term never finds more, and a query that
// narrows another never selects what that one does not.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/chunk_search.h"
#include "library/tokenizer.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

const kelvo::CCaseFold& Fold() {
    static const kelvo::CCaseFold fold([](char16_t* units, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            if (units[i] >= u'A' && units[i] <= u'Z')
                units[i] = static_cast<char16_t>(units[i] + 0x20);
    });
    return fold;
}

bool PlainMatch(std::u16string_view find_text, const std::u16string& title,
                const std::u16string& text, bool encrypted,
                const std::vector<std::u16string>& tags) {
    const auto& fold = Fold();
    for (const auto& term : SplitTokens(find_text, u" ", u"", u"\"", u"\\")) {
        if (kelvo::IsTagMarker(term[0])) {
            if (term.size() == 1)
                continue;
            bool found = false;
            for (const auto& tag : tags)
                found = found || fold.Fold(tag) == fold.Fold(term.substr(1));
            if (!found)
                return false;
        } else {
            const auto word = fold.Fold(term);
            if ((encrypted || fold.Fold(text).find(word) == std::u16string::npos) &&
                fold.Fold(title).find(word) == std::u16string::npos)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Units from a small alphabet, so that terms and texts meet often; '|'
    // separates the find text, the title, the text and the tags.
    static constexpr char16_t kAlphabet[] = u"aAbB #+\"\\|;x";
    std::vector<std::u16string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = kAlphabet[data[i] % (std::size(kAlphabet) - 1)];
        if (c == u'|' && parts.size() < 4)
            parts.emplace_back();
        else
            parts.back().push_back(c);
    }
    parts.resize(4);
    const bool encrypted = size > 0 && data[0] & 1;
    const auto tags = SplitTags(parts[3]);
    const auto view = [](const std::u16string& tag) { return std::u16string_view(tag); };

    const kelvo::CFindQuery query(parts[0], Fold());
    const bool matches = query.Matches(parts[1], parts[2], encrypted, tags, view);
    Check(matches == PlainMatch(parts[0], parts[1], parts[2], encrypted, tags));
    if (!matches)
        Check(!kelvo::CFindQuery(u"b " + parts[0], Fold())
                   .Matches(parts[1], parts[2], encrypted, tags, view));
    // Typed on: a query that narrows this one never selects more.
    for (std::u16string_view more : {u"a", u" A", u"\"", u"#", u"\\b"}) {
        const kelvo::CFindQuery longer(parts[0] + std::u16string(more), Fold());
        if (longer.Narrows(query) && longer.Matches(parts[1], parts[2], encrypted, tags, view))
            Check(matches);
    }
    return 0;
}
