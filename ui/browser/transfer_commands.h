#pragma once
// The chunk browser's commands that take chunks out to a file and bring them
// in from one (JSON or CSV), each through the system's file dialog.

#include <windows.h>

#include <span>

#include "library/text_chunk.h"

class CBrowserApp;

// Exports the whole library or the chunks `shown` (the user chooses when
// they differ). Encrypted chunks are left out unless the user asks for them
// in clear, after a warning, with the master password.
void ExportChunksCommand(CBrowserApp& app, HWND owner,
                         std::span<const kelvo::Ref<text_chunk>> shown);

// Imports the chunks of a file after showing what that will do: new chunks
// and those that share a title with one but differ are added, in one save,
// and identical ones skipped. A file that cannot be read or is malformed is
// refused with its first fault, and nothing is stored. True when chunks were
// stored.
bool ImportChunksCommand(CBrowserApp& app, HWND owner);
