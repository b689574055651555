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

std::wstring ChunkPath(int id) {
    return L"chunk[@id=\"" + std::to_wstring(id) + L"\"]";
}

void text_chunk::WriteToXml() const {
    auto xml = OpenChunksXml();
    xml->Select(L"chunks", true);
    if (!xml->Select(ChunkPath(id).c_str(), false))
        xml->AddChild(L"chunk");
    xml->SetChildText(nullptr, text);
    xml->SetIntAttr(L"id", id);
    xml->SetIntAttr(L"encrypted", encrypted ? 1 : 0);
    xml->SetStrAttr(L"title", title);
    xml->SetStrAttr(L"tags", GetTagsString());
    xml->Save();
}
