#include "library/chunk_finder.h"

#include <windows.h>

#include <algorithm>
#include <numeric>
#include <thread>
#include <unordered_map>

#include "base/utf16.h"

namespace kelvo {

namespace {

// Runs work(begin, end) over slices of [0, count) at once, one a core (at
// most eight), where the count is large enough to be worth the threads: a
// search over a large library then takes a fraction of its time.
template <typename Work> void InSlices(std::size_t count, Work work) {
    constexpr std::size_t kSmallestSlice = 16384;
    const std::size_t cores = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    const std::size_t slices = std::clamp<std::size_t>(count / kSmallestSlice, 1, cores);
    const std::size_t step = (count + slices - 1) / slices;
    std::vector<std::jthread> others;
    for (std::size_t begin = step; begin < count; begin += step)
        others.emplace_back(
            [&work, begin, end = std::min(count, begin + step)] { work(begin, end); });
    work(0, std::min(count, step));
}

} // namespace

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

void CChunkFinder::SortByTitle() {
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
    std::unordered_map<const text_chunk*, std::size_t> place_of;
    std::unordered_map<std::wstring_view, std::uint32_t> number_of;
    m_tagNames.clear();
    m_tagNumbers.clear();
    m_tagStart.assign(1, 0);
    for (std::size_t place = 0; place < m_byTitle.size(); ++place) {
        place_of.emplace(m_byTitle[place].Get(), place);
        for (const std::wstring& tag : m_byTitle[place]->tags) {
            const auto [known, added] =
                number_of.try_emplace(tag, static_cast<std::uint32_t>(m_tagNames.size()));
            if (added)
                m_tagNames.push_back(tag);
            m_tagNumbers.push_back(known->second);
        }
        m_tagStart.push_back(m_tagNumbers.size());
    }
    m_inStoreOrder.clear();
    for (const auto& [id, chunk] : m_store.Chunks())
        m_inStoreOrder.push_back({chunk.Get(), place_of.at(chunk.Get())});
    m_sortedRevision = m_store.Revision();
    m_sorted = true;
    m_lastQuery.reset();
}

void CChunkFinder::KeepMatchedFound() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_found.size(); ++i) {
        if (!m_matched[i])
            continue;
        if (kept != i) {
            m_found[kept] = std::move(m_found[i]);
            m_foundPlaces[kept] = m_foundPlaces[i];
        }
        ++kept;
    }
    m_found.resize(kept);
    m_foundPlaces.resize(kept);
}

void CChunkFinder::Prepare() {
    if (!m_sorted || m_sortedRevision != m_store.Revision())
        SortByTitle();
}

const std::vector<Ref<text_chunk>>& CChunkFinder::Find(std::wstring_view find_text) {
    Prepare();
    CFindQuery query(AsU16(find_text), UserCaseFold());
    const auto view = [](const std::wstring& tag) { return AsU16(tag); };
    const auto matches = [&](const text_chunk& chunk) {
        return query.Matches(AsU16(chunk.title), AsU16(chunk.text), chunk.encrypted, chunk.tags,
                             view);
    };
    if (m_lastQuery && query.Narrows(*m_lastQuery)) {
        m_matched.assign(m_found.size(), 0);
        InSlices(m_found.size(), [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                m_matched[i] = matches(*m_found[i]);
        });
        KeepMatchedFound();
        m_lastQuery = std::move(query);
        return m_found;
    }
    m_found.clear();
    m_foundPlaces.clear();
    if (query.FindsEverything()) {
        m_found = m_byTitle;
        m_foundPlaces.resize(m_byTitle.size());
        std::iota(m_foundPlaces.begin(), m_foundPlaces.end(), std::size_t{0});
        m_lastQuery = std::move(query);
        return m_found;
    }
    m_matched.assign(m_byTitle.size(), 0);
    InSlices(m_inStoreOrder.size(), [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            m_matched[m_inStoreOrder[i].place] = matches(*m_inStoreOrder[i].chunk);
    });
    for (std::size_t place = 0; place < m_byTitle.size(); ++place) {
        if (m_matched[place]) {
            m_found.push_back(m_byTitle[place]);
            m_foundPlaces.push_back(place);
        }
    }
    m_lastQuery = std::move(query);
    return m_found;
}

TagCounts CChunkFinder::CountFoundTags() const {
    std::vector<int> by_number(m_tagNames.size());
    for (std::size_t place : m_foundPlaces)
        for (std::size_t i = m_tagStart[place]; i < m_tagStart[place + 1]; ++i)
            ++by_number[m_tagNumbers[i]];
    TagCounts counts;
    for (std::size_t number = 0; number < by_number.size(); ++number)
        if (by_number[number] > 0)
            counts.emplace(m_tagNames[number], by_number[number]);
    return counts;
}

} // namespace kelvo
