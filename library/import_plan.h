#pragma once
// What an import would do to the library, worked out before anything is
// stored: each chunk of the file is new, identical to a chunk already there
// (skipped), or shares a title with one but differs (added beside it). No
// chunk is ever written over.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "library/chunk_exchange.h"

namespace kelvo {

enum class ImportVerdict { kNew, kIdentical, kBeside };

struct ImportPlan {
    std::vector<ImportVerdict> verdicts; // one per chunk of the file, in its order
    int fresh = 0;
    int identical = 0;
    int beside = 0;
};

// Chunks count as identical when the library file would read them back
// alike: line breaks of any kind, tab and line breaks in titles and tags
// against blanks, and tag lists that split alike are the same.
class CImportPlanner {
public:
    // A chunk the library holds, its tags joined as the library file joins
    // them. The title and text are not copied and must outlive the planner;
    // an encrypted chunk's text is best given decrypted, else it matches none.
    void AddExisting(std::u16string_view title, std::u16string_view joined_tags,
                     std::u16string_view text, bool encrypted);

    // The verdict for each chunk of a file, each counted as present for the
    // ones after it: a chunk twice in the file is imported once. The chunks
    // must outlive the planner.
    ImportPlan Plan(std::span<const ExchangeChunk> chunks);

private:
    struct Entry {
        std::u16string_view title;
        std::u16string tags; // normalized, each tag closed by U+FFFF
        std::u16string_view text;
        bool encrypted;
    };
    ImportVerdict Classify(Entry entry);

    std::unordered_set<std::u16string> m_titles; // normalized
    std::unordered_multimap<std::uint64_t, Entry> m_contents;
};

} // namespace kelvo
