#pragma once
// Reads a whole chunks.xml in one pass of the SAX reader, without building a
// document: the store's loader, where the library is only read.

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/text_chunk.h"
#include "library/xml_file.h"

// A chunks.xml as the one-pass reader found it.
struct ChunksFile {
    FileState state = FileState::kMissing;
    DWORD error = ERROR_SUCCESS; // why a held file could not be read
    std::map<int, kelvo::Ref<text_chunk>> chunks;
    // Chunks that cannot be found by the id their element carries: one
    // written in another form than plain decimal ("+5", "9.4", "1,000"), or
    // one whose id a later element carries too. Each has the id the
    // conversion reads and its file_id and file_occurrence set; it needs a
    // fresh id. In the order of the file.
    std::vector<kelvo::Ref<text_chunk>> renumber;
    // The text of the first "password" element under the root, if any.
    std::optional<std::wstring> password;
    // It comes before the first "chunks" element.
    bool password_first = false;
    std::uint64_t hash = 0; // ContentHash of the bytes read
    std::uint64_t size = 0; // and their number
    // The file holds the library and nothing else: no element, attribute,
    // comment, processing instruction or text that a file written afresh from
    // the chunks and the password would not hold (white space between
    // elements and the form of line breaks and references aside).
    bool only_library = false;
    // The hash was the one the reader was given: the file was not parsed.
    bool unchanged = false;
};

// Reads every chunk of the file by id, as a walk over the document would find
// them: the first "chunk" child of the first "chunks" element under the root
// "kelvo", then every element after it among its siblings; an element without
// a usable id is skipped and of two elements with the same id the later one
// wins. Texts come back with CR LF line breaks. A file that does not read as
// ours gives no chunks; the state tells how it read (one attempt, no waiting).
// A file whose bytes hash to `known` is not parsed.
ChunksFile ReadChunksFile(const wchar_t* path, std::optional<std::uint64_t> known = {});
// The same for bytes in memory (what a save wrote): kRead, kForeign or
// kDamaged.
ChunksFile ReadChunksBytes(std::string_view bytes);
