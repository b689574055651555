#pragma once
// The chunks the find box selects, in title order, and the tags they carry.

#include <optional>
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
    const std::vector<Ref<text_chunk>>& Found() const noexcept { return m_found; }

    // How often each tag occurs among the chunks found, a chunk listing a
    // tag twice counting twice.
    TagCounts CountFoundTags() const;

private:
    const CChunkStore& m_store;
    std::vector<Ref<text_chunk>> m_byTitle;
    // For each chunk in the store's order, its place in m_byTitle: the
    // search walks the chunks in the order they lie in memory.
    std::vector<std::size_t> m_titleRank;
    std::vector<char> m_matched;
    unsigned m_sortedRevision = 0;
    bool m_sorted = false;
    std::vector<Ref<text_chunk>> m_found;
    // The query of the last search, while the store has not changed since.
    std::optional<CFindQuery> m_lastQuery;
};

} // namespace kelvo
