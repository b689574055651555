#pragma once
// The chunks the find box selects, in title order, and the tags they carry.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/chunk_search.h"
#include "library/chunk_store.h"

namespace kelvo {

// Case ignored as the user's locale ignores it, one code unit at a time.
const CCaseFold& UserCaseFold();

class CChunkFinder {
public:
    explicit CChunkFinder(const CChunkStore& store) noexcept : m_store(store) {}

    // Every chunk of the store that the find text selects, sorted by title
    // (case ignored, in the user's locale), equal titles by ascending id. The
    // order is worked out again only after the store changed; the result
    // holds its chunks until the next search. A query that narrows the last
    // one looks only at the chunks that one found.
    const std::vector<Ref<text_chunk>>& Find(std::wstring_view find_text);
    // Works out the title order now when the store changed since it was
    // last worked out: the application does it when the library was read,
    // so that the browser's first search does not sort every title.
    void Prepare();
    const std::vector<Ref<text_chunk>>& Found() const noexcept { return m_found; }
    // Each found chunk's place in the title order of the whole store, which
    // stays its place while the store does not change (PlacesRevision).
    const std::vector<std::size_t>& FoundPlaces() const noexcept { return m_foundPlaces; }
    std::size_t PlaceCount() const noexcept { return m_byTitle.size(); }
    unsigned PlacesRevision() const noexcept { return m_sortedRevision; }

    // How often each tag occurs among the chunks found, a chunk listing a
    // tag twice counting twice.
    TagCounts CountFoundTags() const;

private:
    void SortByTitle();
    // Keeps the found chunks marked in m_matched, in their order.
    void KeepMatchedFound();

    const CChunkStore& m_store;
    std::vector<Ref<text_chunk>> m_byTitle;
    // The chunks in the store's order, each with its place in m_byTitle: the
    // search walks them in the order they lie in memory.
    struct Stored {
        const text_chunk* chunk;
        std::size_t place;
    };
    std::vector<Stored> m_inStoreOrder;
    // The distinct tags of the store, and for each place in m_byTitle the
    // numbers of its chunk's tags, from m_tagStart[place] up to
    // m_tagStart[place + 1]: the tags found are counted without hashing one.
    std::vector<std::wstring> m_tagNames;
    std::vector<std::uint32_t> m_tagNumbers;
    std::vector<std::size_t> m_tagStart;
    std::vector<char> m_matched;
    unsigned m_sortedRevision = 0;
    bool m_sorted = false;
    std::vector<Ref<text_chunk>> m_found;
    std::vector<std::size_t> m_foundPlaces; // each found chunk's place in m_byTitle
    // The query of the last search, while the store has not changed since.
    std::optional<CFindQuery> m_lastQuery;
};

} // namespace kelvo
