#pragma once
// Writes chunks.xml from the chunks in memory in one pass, without building a
// document: the bytes a save of the library as a document writes for the same
// content (the declaration, the root holding "chunks" with one "chunk"
// element per chunk, then the wrapped data key), at about the cost of copying
// the texts.

#include <optional>
#include <string>

#include "library/text_chunk.h"

// Appends the file to `out`, which the caller may write out and empty between
// calls to pass it on piece by piece. The wrapped data key, when there is one,
// goes after the chunks, or before them as a new library with a master
// password has it.
class CChunksXmlWriter {
public:
    // Appends the beginning, up to the first chunk.
    CChunksXmlWriter(std::string& out, const std::optional<std::wstring>& password,
                     bool password_first);
    // One element per chunk, in the order of the file.
    void Add(const text_chunk& chunk);
    // The end.
    void Finish();

private:
    std::string& m_out;
    const std::optional<std::wstring>& m_password;
    bool m_passwordFirst;
    bool m_empty = true;
};
