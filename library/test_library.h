#pragma once
// Libraries with encrypted chunks for the tests of the master password, made
// and read back through the program's own chunk and key operations.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/utf16.h"
#include "library/chunk_store.h"
#include "library/master_password.h"
#include "library/xml_props.h"

namespace test_library {

// A library of exactly these texts, each an encrypted chunk under data_key,
// with data_key wrapped under password; it replaces any library there.
inline void Write(const wchar_t* password, const kelvo::CipherKey& data_key,
                  const std::vector<std::wstring>& texts) {
    ::DeleteFileW(ChunksXmlPath().c_str());
    EXPECT_TRUE(StoreDataKey(password, data_key));
    CChunkStore store;
    store.LoadChunks();
    for (const auto& text : texts) {
        auto chunk = kelvo::MakeRef<text_chunk>(text, L"title");
        EXPECT_TRUE(chunk->Encrypt(data_key));
        store.PutChunk(chunk);
    }
}

// A library of exactly these texts, plain, with no wrapped key; it replaces
// any library there.
inline void WritePlain(const std::vector<std::wstring>& texts) {
    ::DeleteFileW(ChunksXmlPath().c_str());
    CChunkStore store;
    store.LoadChunks();
    for (const auto& text : texts)
        store.PutChunk(kelvo::MakeRef<text_chunk>(text, L"title"));
}

// The titles of the library's chunks by ascending id.
inline std::vector<std::wstring> Titles() {
    CChunkStore store;
    store.LoadChunks();
    std::vector<std::wstring> titles;
    for (const auto& [id, chunk] : store.Chunks())
        titles.push_back(chunk->title);
    return titles;
}

// As Write, with a new data key, which it returns.
inline kelvo::CipherKey Make(const wchar_t* password, const std::vector<std::wstring>& texts) {
    kelvo::CipherKey data_key;
    EXPECT_TRUE(MakeDataKey(data_key));
    Write(password, data_key, texts);
    return data_key;
}

// The chunk texts of the library decrypted under data_key, by ascending id;
// "<undecryptable>" for one that does not decrypt.
inline std::vector<std::wstring> Decrypted(const kelvo::CipherKey& data_key) {
    CChunkStore store;
    store.LoadChunks();
    std::vector<std::wstring> texts;
    for (const auto& [id, chunk] : store.Chunks()) {
        kelvo::WipedString<char16_t> text;
        texts.push_back(kelvo::CCipher().Decrypt(data_key, kelvo::AsU16(chunk->text), text)
                            ? std::wstring(kelvo::AsWide(text.view()))
                            : L"<undecryptable>");
    }
    return texts;
}

// The text of the "password" element of a chunks.xml, as stored.
inline std::string PasswordElement(const std::string& file) {
    const auto start = file.find("<password>");
    const auto end = file.find("</password>");
    if (start == std::string::npos || end == std::string::npos)
        return "<none>";
    return file.substr(start + 10, end - start - 10);
}

// The bytes the document save writes for a library made afresh at `path`:
// chunks appended one by one, the wrapped key after them (or first, as a new
// library with a master password has it). The oracle of the one-pass writer.
inline std::string SavedAsDocument(const std::wstring& path,
                                   const std::vector<kelvo::Ref<text_chunk>>& chunks,
                                   const std::optional<std::wstring>& password,
                                   bool password_first = false) {
    ::DeleteFileW(path.c_str());
    CXMLProps xml;
    EXPECT_TRUE(xml.CreateNew(path.c_str()));
    if (password && password_first)
        xml.SetChildText(L"password", *password);
    EXPECT_TRUE(xml.Select(L"chunks", true));
    for (const auto& chunk : chunks) {
        EXPECT_TRUE(xml.AddChild(L"chunk"));
        chunk->WriteToXml(xml);
        xml.Up();
    }
    xml.Up();
    if (password && !password_first)
        xml.SetChildText(L"password", *password);
    EXPECT_TRUE(xml.Save());
    ::DeleteFileW(path.c_str());
    return xml.SavedBytes();
}

} // namespace test_library
