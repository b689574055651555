#pragma once
// What the user reads when the chunk store has something to tell.

#include <string>

#include "library/chunk_store.h"

class CWynEngine;

// The message for the notice, in the words of the text table. `store` gives
// the title of a conflict chunk, `library` the path of chunks.xml.
std::wstring StoreNoticeText(const CWynEngine& text_table, const StoreNotice& notice,
                             const CChunkStore& store, const std::wstring& library);
