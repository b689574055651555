#include "library/chunk_search.h"

#include <algorithm>

#include "library/tokenizer.h"

namespace kelvo {

CCaseFold::CCaseFold() : m_table(std::make_shared<std::array<char16_t, 65536>>()) {
    for (std::size_t i = 0; i < m_table->size(); ++i)
        (*m_table)[i] = static_cast<char16_t>(i);
}

std::u16string CCaseFold::Fold(std::u16string_view text) const {
    std::u16string folded(text);
    for (auto& c : folded)
        c = (*this)(c);
    return folded;
}

bool CCaseFold::Equal(std::u16string_view a, std::u16string_view b) const noexcept {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [this](char16_t x, char16_t y) { return (*this)(x) == (*this)(y); });
}

bool CCaseFold::Contains(std::u16string_view text,
                         std::u16string_view folded_needle) const noexcept {
    if (folded_needle.empty())
        return true;
    if (folded_needle.size() > text.size())
        return false;
    const char16_t first = folded_needle[0];
    const auto rest = folded_needle.substr(1);
    const std::size_t last_start = text.size() - folded_needle.size();
    for (std::size_t i = 0; i <= last_start; ++i) {
        if ((*this)(text[i]) != first)
            continue;
        const auto candidate = text.substr(i + 1, rest.size());
        if (std::equal(rest.begin(), rest.end(), candidate.begin(),
                       [this](char16_t wanted, char16_t c) { return (*this)(c) == wanted; }))
            return true;
    }
    return false;
}

bool IsTagMarker(char16_t c) noexcept {
    return c == u'#' || c == u'+' || c == u'*' || c == u'@';
}

CFindQuery::CFindQuery(std::u16string_view find_text, const CCaseFold& fold) : m_fold(fold) {
    for (auto& term : SplitTokens(find_text, u" ", u"", u"\"", u"\\")) {
        if (!IsTagMarker(term[0]))
            m_words.push_back(m_fold.Fold(term));
        else if (term.size() > 1)
            m_tags.push_back(term.substr(1));
    }
}

bool CFindQuery::Narrows(const CFindQuery& broader) const {
    for (const auto& tag : broader.m_tags)
        if (std::none_of(m_tags.begin(), m_tags.end(),
                         [&](const std::u16string& own) { return m_fold.Equal(own, tag); }))
            return false;
    for (const auto& word : broader.m_words)
        if (std::none_of(m_words.begin(), m_words.end(),
                         [&](const std::u16string& own) { return own.find(word) != own.npos; }))
            return false;
    return true;
}

std::u16string QuoteTag(std::u16string_view tag) {
    std::u16string quoted;
    const bool spaced = tag.find(u' ') != tag.npos;
    if (spaced)
        quoted.push_back(u'"');
    for (char16_t c : tag) {
        if (c == u'"' || c == u'\\')
            quoted.push_back(u'\\');
        quoted.push_back(c);
    }
    if (spaced)
        quoted.push_back(u'"');
    return quoted;
}

std::u16string AddTagToFindText(std::u16string_view find_text, std::u16string_view tag) {
    std::u16string text(find_text);
    if (!text.empty())
        text.push_back(u' ');
    text.push_back(u'#');
    text += QuoteTag(tag);
    return text;
}

} // namespace kelvo
