#pragma once
// The library's chunks to and from chunk files (chunk_exchange.h): the files
// read and written, the chunks an export holds, and what an import stores.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "crypto/cipher.h"
#include "library/chunk_exchange.h"
#include "library/chunk_store.h"
#include "library/import_plan.h"
#include "library/text_chunk.h"

enum class ChunkFileFormat { kJson, kCsv };

// CSV for a name ending in ".csv" (any case), else JSON.
ChunkFileFormat ChunkFileFormatOf(const std::wstring& path);

// A chunk file read: its chunks or its first fault, unless the system could
// not read it at all (`error`). A file beyond the limits is refused before
// it is read.
struct ChunkFileRead {
    DWORD error = ERROR_SUCCESS;
    kelvo::ExchangeResult result;
};
ChunkFileRead ReadChunkFile(const std::wstring& path, kelvo::ExchangeLimits limits = {});

// Writes the chunks in the format as a whole new file, put in place so that
// a failure leaves what was there. False with GetLastError() telling why.
bool WriteChunkFile(const std::wstring& path, ChunkFileFormat format,
                    std::span<const kelvo::ExchangeChunk> chunks);

// The chunks as a file carries them. Encrypted chunks are decrypted with
// `key`, or left out without one. False when one does not decrypt with it
// (`undecryptable` is its title): then `out` holds nothing.
bool ChunksForExport(std::span<const kelvo::Ref<text_chunk>> chunks, const kelvo::CipherKey* key,
                     std::vector<kelvo::ExchangeChunk>& out, std::wstring& undecryptable);

// Wipes the texts the chunks held in clear for the library's encrypted chunks.
void WipeClearTexts(std::vector<kelvo::ExchangeChunk>& chunks) noexcept;

// What importing the chunks would do to the library. Its encrypted chunks are
// compared by their plain text where `key` decrypts them.
kelvo::ImportPlan PlanImport(const CChunkStore& store, std::span<const kelvo::ExchangeChunk> chunks,
                             const kelvo::CipherKey* key);

// Stores the chunks the plan calls new or beside, in one save; those marked
// encrypted are encrypted with `key`. False, with nothing stored, when one of
// them cannot be (no key, or a text the stored form cannot carry). The
// number stored is `stored`.
bool StoreImport(CChunkStore& store, std::span<const kelvo::ExchangeChunk> chunks,
                 const kelvo::ImportPlan& plan, const kelvo::CipherKey* key, int& stored);
