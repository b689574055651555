#include "library/chunk_finder.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>

#include "base/utf16.h"

namespace kelvo {

const CCaseFold& UserCaseFold() {
    static const CCaseFold fold([](char16_t* units, std::size_t count) {
        std::vector<wchar_t> lower(count);
        const int mapped = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE,
                                           AsWcstr(units), static_cast<int>(count), lower.data(),
                                           static_cast<int>(count), nullptr, nullptr, 0);
        // Mapped as one buffer, neighbouring surrogate units would pair up:
        // they stay as they are, as does everything if the mapping failed.
        if (mapped != static_cast<int>(count))
            return;
        for (std::size_t i = 0; i < count; ++i)
            if (units[i] < 0xD800 || units[i] > 0xDFFF)
                units[i] = static_cast<char16_t>(lower[i]);
    });
    return fold;
}

const std::vector<Ref<text_chunk>>& CChunkFinder::Find(std::wstring_view find_text) {
    if (!m_sorted || m_sortedRevision != m_store.Revision()) {
        m_byTitle.clear();
        m_byTitle.reserve(m_store.Chunks().size());
        for (const auto& [id, chunk] : m_store.Chunks())
            m_byTitle.push_back(chunk);
        // The store is in ascending id order; a stable sort keeps it for equal titles.
        std::stable_sort(m_byTitle.begin(), m_byTitle.end(), [](const auto& a, const auto& b) {
            return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a->title.data(),
                                     static_cast<int>(a->title.size()), b->title.data(),
                                     static_cast<int>(b->title.size()), nullptr, nullptr,
                                     0) == CSTR_LESS_THAN;
        });
        std::unordered_map<const text_chunk*, std::size_t> rank_of;
        for (std::size_t rank = 0; rank < m_byTitle.size(); ++rank)
            rank_of.emplace(m_byTitle[rank].Get(), rank);
        m_titleRank.clear();
        for (const auto& [id, chunk] : m_store.Chunks())
            m_titleRank.push_back(rank_of.at(chunk.Get()));
        m_sortedRevision = m_store.Revision();
        m_sorted = true;
        m_lastQuery.reset();
    }
    CFindQuery query(AsU16(find_text), UserCaseFold());
    const auto view = [](const std::wstring& tag) { return AsU16(tag); };
    if (m_lastQuery && query.Narrows(*m_lastQuery)) {
        std::erase_if(m_found, [&](const Ref<text_chunk>& chunk) {
            return !query.Matches(AsU16(chunk->title), AsU16(chunk->text), chunk->encrypted,
                                  chunk->tags, view);
        });
        m_lastQuery = std::move(query);
        return m_found;
    }
    m_found.clear();
    if (query.FindsEverything()) {
        m_found = m_byTitle;
        m_lastQuery = std::move(query);
        return m_found;
    }
    m_matched.assign(m_byTitle.size(), 0);
    auto rank = m_titleRank.begin();
    for (const auto& [id, chunk] : m_store.Chunks())
        m_matched[*rank++] = query.Matches(AsU16(chunk->title), AsU16(chunk->text),
                                           chunk->encrypted, chunk->tags, view);
    for (std::size_t i = 0; i < m_byTitle.size(); ++i)
        if (m_matched[i])
            m_found.push_back(m_byTitle[i]);
    m_lastQuery = std::move(query);
    return m_found;
}

TagCounts CChunkFinder::CountFoundTags() const {
    // Counted by hash over views of the chunks' own tags, so that a tag takes
    // no ordered search and no copy until the few distinct ones are sorted.
    std::unordered_map<std::wstring_view, int> by_tag;
    for (const auto& chunk : m_found)
        for (const auto& tag : chunk->tags)
            ++by_tag[tag];
    TagCounts counts;
    for (const auto& [tag, count] : by_tag)
        counts.emplace(tag, count);
    return counts;
}

} // namespace kelvo
