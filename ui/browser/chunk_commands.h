#pragma once
// The commands of the chunk browser that run the chunk editor: a new chunk,
// and a change of one, with the rules for encrypting and storing the text.

#include <windows.h>

#include "library/text_chunk.h"

class CBrowserApp;

// The editor for a new chunk, stored when the user saves it: encrypted with
// the data key when asked. The stored chunk; null when cancelled.
kelvo::Ref<text_chunk> NewChunkCommand(CBrowserApp& app, HWND owner);

// The editor for `chunk` (decrypted first when it is encrypted), which is
// changed and stored when the user saves. An emptied tags field keeps its
// tags. False when nothing changed: cancelled, the password not given, or a
// text that does not decrypt (then the user is told).
bool EditChunkCommand(CBrowserApp& app, HWND owner, const kelvo::Ref<text_chunk>& chunk);
