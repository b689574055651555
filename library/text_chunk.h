#pragma once
// One entry of the library: title, tags and a text that may be stored encrypted.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/cipher.h"
#include "library/object.h"

// Tag text -> number of chunks carrying it, keyed by the exact text.
using TagCounts = std::map<std::wstring, int>;

class CXMLProps;

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

    // Fills id, encrypted, title, tags and text from the current element of
    // chunks.xml (defaults for what is missing).
    void ReadFromXml(CXMLProps& xml);
    // Replaces the text and sets the attributes of the current element, in
    // the order id, encrypted, title, tags. The store decides which element.
    void WriteToXml(CXMLProps& xml) const;

    // Tells the content (everything but the id) apart from another's, in the
    // form the file reads back as: line breaks of any kind, white space the
    // XML layer may turn into blanks in attributes, and tag lists that split
    // alike count as the same.
    std::uint64_t Fingerprint() const;

    int id = 0; // 0: not yet stored
    // Texts are kept in the form the file layer hands out, so that loading
    // moves them into place instead of copying them.
    std::wstring text;
    std::wstring title;
    std::vector<std::wstring> tags;
    bool encrypted = false;
    // The Fingerprint of the version in chunks.xml this object was read from
    // or last written as; none for a chunk that has not been in the file. The
    // store tells by it a chunk changed elsewhere since, also for an object
    // an editor still holds after the library was read again.
    std::optional<std::uint64_t> file_print;
    // Set while chunks.xml holds this chunk under an id it cannot be found
    // by (written in another form, such as "+5", or carried by a later
    // element too) and the store has given it a fresh id: that id text, and
    // which of the elements carrying it this is (from 1). The next save
    // writes the fresh id there.
    std::wstring file_id;
    int file_occurrence = 0;
};
