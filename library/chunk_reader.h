#pragma once
// Reads a whole chunks.xml in one pass of the SAX reader, without building a
// document: the store's loader, where the library is only read.

#include <map>

#include "library/text_chunk.h"

// Puts every chunk of the file into `chunks` by id, as a walk over the
// document would find them: the first "chunk" child of the first "chunks"
// element under the root "kelvo", then every element after it among its
// siblings; an element without a usable id is skipped and of two elements
// with the same id the later one wins. Texts come back with CR LF line
// breaks. A missing or unreadable file adds nothing.
void ReadChunksFile(const wchar_t* path, std::map<int, kelvo::Ref<text_chunk>>& chunks);
