#pragma once
// The system's dialogs to choose a chunk file: the one to import from, or
// where to export to (JSON or CSV, as the user picks).

#include <windows.h>

#include <optional>
#include <string>

class CkvWynEngine;

enum class ChunkFileDialog { kOpen, kSave };

// The path the user chose; none when cancelled, or when the system has no
// such dialog (then the user is told).
std::optional<std::wstring> ShowChunkFileDialog(CkvWynEngine& engine, HWND owner,
                                                ChunkFileDialog kind);
