#pragma once
// Reads a whole chunks.xml in one pass of the SAX reader, without building a
// document: the store's loader, where the library is only read.

#include <map>
#include <optional>
#include <string>

#include "library/text_chunk.h"
#include "library/xml_file.h"

// Puts every chunk of the file into `chunks` by id, as a walk over the
// document would find them: the first "chunk" child of the first "chunks"
// element under the root "kelvo", then every element after it among its
// siblings; an element without a usable id is skipped and of two elements
// with the same id the later one wins. Texts come back with CR LF line
// breaks. The text of the first "password" element under the root goes to
// `password` (nothing when there is none). A file that does not read as ours
// adds nothing; the result tells how it read (one attempt, no waiting), and
// for a held file GetLastError() why.
FileState ReadChunksFile(const wchar_t* path, std::map<int, kelvo::Ref<text_chunk>>& chunks,
                         std::optional<std::wstring>& password);
