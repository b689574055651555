#include "library/text_chunk.h"

#include <windows.h>

#include "base/utf16.h"
#include "library/tokenizer.h"
#include "library/xml_props.h"

using kelvo::AsU16;
using kelvo::AsWide;

text_chunk::text_chunk(std::wstring text, std::wstring title)
    : text(std::move(text)), title(std::move(title)) {}

bool text_chunk::HasTag(std::wstring_view tag) const {
    for (const auto& own : tags) {
        if (::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, own.data(),
                              static_cast<int>(own.size()), tag.data(),
                              static_cast<int>(tag.size()), nullptr, nullptr, 0) == CSTR_EQUAL)
            return true;
    }
    return false;
}

std::wstring text_chunk::GetTagsString() const {
    return JoinTags(tags);
}

void text_chunk::CountTags(TagCounts& counts) const {
    for (const auto& tag : tags)
        ++counts[tag];
}

bool text_chunk::Encrypt(const kelvo::CipherKey& data_key) {
    if (encrypted)
        return true;
    std::u16string stored;
    if (!kelvo::CCipher().Encrypt(data_key, AsU16(text), stored))
        return false;
    kelvo::SecureWipe(text.data(), text.size() * sizeof(wchar_t));
    text.assign(AsWide(stored));
    encrypted = true;
    return true;
}

void text_chunk::ReadFromXml(CXMLProps& xml) {
    id = xml.GetIntAttr(L"id", 0);
    encrypted = xml.GetIntAttr(L"encrypted", 0) != 0;
    title = xml.GetStrAttr(L"title");
    text = xml.GetText().value_or(L"");
    tags.clear();
    for (auto& tag : SplitTags(AsU16(xml.GetStrAttr(L"tags"))))
        tags.emplace_back(AsWide(tag));
}

void text_chunk::WriteToXml(CXMLProps& xml) const {
    xml.SetChildText(nullptr, text);
    xml.SetIntAttr(L"id", id);
    xml.SetIntAttr(L"encrypted", encrypted ? 1 : 0);
    xml.SetStrAttr(L"title", title);
    xml.SetStrAttr(L"tags", GetTagsString());
}

namespace {

// FNV-1a over UTF-16 code units.
class CHash {
public:
    void Add(wchar_t unit) noexcept {
        m_value ^= static_cast<std::uint16_t>(unit);
        m_value *= 0x100000001B3ull;
    }
    // Ends a field with a code unit no stored text holds (XML cannot carry it).
    void EndField() noexcept { Add(wchar_t(0xFFFF)); }
    // Blank for tab, CR and LF, which attribute values may come back as.
    void AddAttribute(std::wstring_view text) noexcept {
        for (wchar_t c : text)
            Add(c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c);
        EndField();
    }
    // LF for CR LF, CR and LF, which element text may come back as.
    void AddText(std::wstring_view text) noexcept {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\r') {
                if (i + 1 < text.size() && text[i + 1] == L'\n')
                    ++i;
                Add(L'\n');
            } else {
                Add(text[i]);
            }
        }
        EndField();
    }
    std::uint64_t Value() const noexcept { return m_value; }

private:
    std::uint64_t m_value = 0xCBF29CE484222325ull;
};

} // namespace

std::uint64_t text_chunk::Fingerprint() const {
    CHash hash;
    hash.Add(encrypted ? L'1' : L'0');
    hash.AddAttribute(title);
    // As the joined list splits again when read.
    for (const auto& tag : SplitTags(AsU16(GetTagsString())))
        hash.AddAttribute(AsWide(tag));
    hash.EndField();
    hash.AddText(text);
    return hash.Value();
}
