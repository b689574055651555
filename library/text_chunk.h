#pragma once
// One entry of the library: title, tags and a text that may be stored encrypted.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/cipher.h"
#include "library/object.h"

// Tag text -> number of chunks carrying it, keyed by the exact text.
using TagCounts = std::map<std::wstring, int>;

class text_chunk : public kelvo::object {
public:
    text_chunk() = default;
    text_chunk(std::wstring text, std::wstring title);

    // Case-insensitive in the user's locale.
    bool HasTag(std::wstring_view tag) const;
    std::wstring GetTagsString() const;
    void CountTags(TagCounts& counts) const;

    // Replaces the text by its stored encrypted form under the data key; an
    // encrypted chunk stays as it is. False, with nothing changed, for a text
    // the stored form cannot carry (one holding a zero code unit). The file is
    // not written.
    bool Encrypt(const kelvo::CipherKey& data_key);

    // Writes this chunk into chunks.xml at once: an existing element of the
    // same id is rewritten in place, otherwise one is appended.
    void WriteToXml() const;

    int id = 0; // 0: not yet stored
    // Texts are kept in the form the file layer hands out, so that loading
    // moves them into place instead of copying them.
    std::wstring text;
    std::wstring title;
    std::vector<std::wstring> tags;
    bool encrypted = false;
};

// The path that selects the "chunk" element of an id.
std::wstring ChunkPath(int id);
