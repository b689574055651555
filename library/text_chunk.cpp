#include "library/text_chunk.h"

#include <windows.h>

#include "base/utf16.h"
#include "library/line_breaks.h"
#include "library/tokenizer.h"
#include "library/xml_props.h"

using kelvo::as_u16;
using kelvo::as_wide;

text_chunk::text_chunk(std::u16string text, std::u16string title)
    : text(std::move(text)), title(std::move(title)) {}

bool text_chunk::HasTag(std::u16string_view tag) const {
    std::wstring_view wanted = as_wide(tag);
    for (const auto& own : tags) {
        std::wstring_view mine = as_wide(own);
        if (::CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, mine.data(),
                              static_cast<int>(mine.size()), wanted.data(),
                              static_cast<int>(wanted.size()), nullptr, nullptr,
                              0) == CSTR_EQUAL)
            return true;
    }
    return false;
}

std::u16string text_chunk::GetTagsString() const { return JoinTags(tags); }

void text_chunk::CountTags(TagCounts& counts) const {
    for (const auto& tag : tags)
        ++counts[tag];
}

bool text_chunk::Encrypt(const kelvo::CipherKey& data_key) {
    if (encrypted)
        return true;
    std::u16string stored;
    if (!kelvo::CCipher().Encrypt(data_key, text, stored))
        return false;
    kelvo::SecureWipe(text.data(), text.size() * sizeof(char16_t));
    text = std::move(stored);
    encrypted = true;
    return true;
}

std::wstring ChunkPath(int id) { return L"chunk[@id=\"" + std::to_wstring(id) + L"\"]"; }

void text_chunk::WriteToXml() const {
    auto xml = OpenChunksXml();
    xml->Select(L"chunks", true);
    if (!xml->Select(ChunkPath(id).c_str(), false))
        xml->AddChild(L"chunk");
    xml->SetChildText(nullptr, as_wide(text));
    xml->SetIntAttr(L"id", id);
    xml->SetIntAttr(L"encrypted", encrypted ? 1 : 0);
    xml->SetStrAttr(L"title", as_wide(title));
    xml->SetStrAttr(L"tags", as_wide(GetTagsString()));
    xml->Save();
}

void text_chunk::ReadFromXml(CXMLProps& xml) {
    id = xml.GetIntAttr(L"id", 0);
    encrypted = xml.GetIntAttr(L"encrypted", 0) != 0;
    title = as_u16(xml.GetStrAttr(L"title"));
    text = WithCrLf(as_u16(xml.GetText().value_or(std::wstring())));
    tags = SplitTags(as_u16(xml.GetStrAttr(L"tags")));
}
