#pragma once
// The find box's text as a query over chunks: tag terms ("#work", "+work",
// "*work", "@work") name a whole tag, other terms are words looked for in a
// chunk's text or title. Case is ignored throughout, through one folding of
// UTF-16 code units that the platform supplies.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// Maps every UTF-16 code unit to the unit it compares as when case is ignored.
class CCaseFold {
public:
    // `fold_units` folds a buffer of code units in place, each on its own;
    // it is called once, over all 65,536 of them.
    template <typename FoldUnits> explicit CCaseFold(FoldUnits fold_units) : CCaseFold() {
        fold_units(m_table->data(), m_table->size());
    }

    char16_t operator()(char16_t c) const noexcept { return (*m_table)[c]; }
    std::u16string Fold(std::u16string_view text) const;
    bool Equal(std::u16string_view a, std::u16string_view b) const noexcept;
    // Whether `text` holds `folded_needle` (already folded) with case ignored;
    // an empty needle is found everywhere. Allocates nothing.
    bool Contains(std::u16string_view text, std::u16string_view folded_needle) const noexcept;

private:
    CCaseFold();

    std::shared_ptr<std::array<char16_t, 65536>> m_table;
};

// A tag term: a marker followed by at least one character.
bool IsTagMarker(char16_t c) noexcept;

class CFindQuery {
public:
    // Terms are separated by spaces; double quotes group, a backslash takes
    // the next character literally. A lone marker filters nothing.
    CFindQuery(std::u16string_view find_text, const CCaseFold& fold);

    bool FindsEverything() const noexcept { return m_tags.empty() && m_words.empty(); }
    // Whether every chunk this query selects is also selected by `broader`:
    // each of its tag terms is one of ours, each of its words lies within
    // one of ours. Typing on at the end of a find text mostly gives such a
    // query, which then only needs to look at what the broader one found.
    bool Narrows(const CFindQuery& broader) const;

    // Every term holds: each tag term equals one of `tags` as a whole, each
    // word occurs in the text or the title. The stored text of an encrypted
    // chunk is its ciphertext, which would match short words at random: only
    // its title (and its tags) are searched. `view` turns an element of
    // `tags` into a std::u16string_view.
    template <typename Tags, typename View>
    bool Matches(std::u16string_view title, std::u16string_view text, bool encrypted,
                 const Tags& tags, View view) const {
        for (const auto& wanted : m_tags) {
            bool found = false;
            for (const auto& tag : tags)
                if ((found = m_fold.Equal(view(tag), wanted)))
                    break;
            if (!found)
                return false;
        }
        for (const auto& word : m_words)
            if (!(!encrypted && m_fold.Contains(text, word)) && !m_fold.Contains(title, word))
                return false;
        return true;
    }

private:
    CCaseFold m_fold;
    std::vector<std::u16string> m_tags;  // as typed
    std::vector<std::u16string> m_words; // folded
};

// A tag as the find box and the tag completion write it: wrapped in double
// quotes when it holds a space, with a backslash before every double quote
// and backslash of its own, so that the search reads it back whole.
std::u16string QuoteTag(std::u16string_view tag);

// The find text after a double-click on a tag row: the text, a space when it
// was not empty, then "#" and the quoted tag.
std::u16string AddTagToFindText(std::u16string_view find_text, std::u16string_view tag);

} // namespace kelvo
