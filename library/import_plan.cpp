#include "library/import_plan.h"

#include "library/tokenizer.h"

namespace kelvo {

namespace {

// Tab, CR and LF, which attribute values may come back from the file as blanks.
char16_t AttributeUnit(char16_t c) {
    return c == u'\t' || c == u'\r' || c == u'\n' ? u' ' : c;
}

std::u16string NormalizedAttribute(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out)
        c = AttributeUnit(c);
    return out;
}

// Calls `f` with each unit of the text with CR LF and CR as LF, as element
// text comes back from the file.
template <typename F> void ForEachTextUnit(std::u16string_view text, F&& f) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            f(u'\n');
        } else {
            f(text[i]);
        }
    }
}

std::u16string NormalizedText(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    ForEachTextUnit(text, [&](char16_t c) { out += c; });
    return out;
}

// FNV-1a over UTF-16 code units; U+FFFF (which no stored text holds) closes a field.
class CHash {
public:
    void Add(char16_t unit) noexcept {
        m_value ^= unit;
        m_value *= 0x100000001B3ull;
    }
    void EndField() noexcept { Add(u'\uFFFF'); }
    std::uint64_t Value() const noexcept { return m_value; }

private:
    std::uint64_t m_value = 0xCBF29CE484222325ull;
};

} // namespace

void CImportPlanner::AddExisting(std::u16string_view title, std::u16string_view joined_tags,
                                 std::u16string_view text, bool encrypted) {
    Entry entry{title, {}, text, encrypted};
    for (const std::u16string& tag : SplitTags(joined_tags)) {
        entry.tags += NormalizedAttribute(tag);
        entry.tags += u'\uFFFF';
    }
    Classify(std::move(entry));
}

ImportPlan CImportPlanner::Plan(std::span<const ExchangeChunk> chunks) {
    ImportPlan plan;
    plan.verdicts.reserve(chunks.size());
    for (const ExchangeChunk& chunk : chunks) {
        Entry entry{chunk.title, {}, chunk.text, chunk.encrypted};
        for (const std::u16string& tag : SplitTags(JoinTags(chunk.tags))) {
            entry.tags += NormalizedAttribute(tag);
            entry.tags += u'\uFFFF';
        }
        const ImportVerdict verdict = Classify(std::move(entry));
        plan.verdicts.push_back(verdict);
        switch (verdict) {
        case ImportVerdict::kNew:
            ++plan.fresh;
            break;
        case ImportVerdict::kIdentical:
            ++plan.identical;
            break;
        case ImportVerdict::kBeside:
            ++plan.beside;
            break;
        }
    }
    return plan;
}

ImportVerdict CImportPlanner::Classify(Entry entry) {
    CHash hash;
    hash.Add(entry.encrypted ? u'1' : u'0');
    std::u16string title = NormalizedAttribute(entry.title);
    for (char16_t c : title)
        hash.Add(c);
    hash.EndField();
    for (char16_t c : entry.tags)
        hash.Add(c);
    hash.EndField();
    ForEachTextUnit(entry.text, [&](char16_t c) { hash.Add(c); });

    const auto [first, last] = m_contents.equal_range(hash.Value());
    for (auto it = first; it != last; ++it) {
        const Entry& known = it->second;
        if (known.encrypted == entry.encrypted && known.tags == entry.tags &&
            NormalizedAttribute(known.title) == title &&
            NormalizedText(known.text) == NormalizedText(entry.text))
            return ImportVerdict::kIdentical;
    }
    const bool title_known = !m_titles.insert(std::move(title)).second;
    m_contents.emplace(hash.Value(), std::move(entry));
    return title_known ? ImportVerdict::kBeside : ImportVerdict::kNew;
}

} // namespace kelvo
