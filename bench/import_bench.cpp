// An import of a spreadsheet's 50,000 rows (read, planned against the
// library, stored) into an empty library, against one save of the library it
// makes: the import costs about what that save does.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/utf16.h"
#include "bench/bench.h"
#include "bench/synthetic_library.h"
#include "library/chunk_store.h"
#include "library/chunk_transfer.h"

namespace {

using namespace kelvo::bench;

// The rows: the synthetic library's chunks, each as a file carries it (the
// encrypted ones' stored form as plain text).
std::vector<kelvo::ExchangeChunk> Rows(int count, const CPortableData& data) {
    WriteFile(data.ChunksPath(), MakeLibrary(count));
    CChunkStore store;
    store.LoadChunks();
    std::vector<kelvo::ExchangeChunk> rows;
    rows.reserve(store.Chunks().size());
    for (const auto& [id, chunk] : store.Chunks()) {
        kelvo::ExchangeChunk& row = rows.emplace_back();
        row.title = kelvo::AsU16(chunk->title);
        for (const auto& tag : chunk->tags)
            row.tags.emplace_back(kelvo::AsU16(tag));
        row.text = kelvo::AsU16(chunk->text);
    }
    return rows;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RunImportBench() {
    const CPortableData data;
    constexpr int kRows = 50000;
    const std::wstring csv = data.Folder() + L"bench-import.csv";
    const auto rows = Rows(kRows, data);
    WriteChunkFile(csv, ChunkFileFormat::kCsv, rows);

    std::vector<double> imports, saves;
    for (int turn = 0; turn < 3; ++turn) {
        ::DeleteFileW(data.ChunksPath().c_str());
        ::DeleteFileW(data.SettingsPath().c_str());
        CChunkStore store;
        store.LoadChunks();
        imports.push_back(MedianMicros(1, [&] {
            const ChunkFileRead read = ReadChunkFile(csv);
            const auto& chunks = std::get<std::vector<kelvo::ExchangeChunk>>(read.result);
            const kelvo::ImportPlan plan = PlanImport(store, chunks, nullptr);
            int stored = 0;
            StoreImport(store, chunks, plan, nullptr, stored);
        }));
        // One save of the library the import made: a chunk of it changed.
        const kelvo::Ref<text_chunk> changed = store.Chunks().at(kRows / 2);
        saves.push_back(MedianMicros(1, [&] {
            changed->title += L"!";
            store.PutChunk(changed);
        }));
    }
    Report("import", "csv-rows", kRows, Median(imports), Median(saves), 2.0);
    ::DeleteFileW(csv.c_str());
}

} // namespace

KELVO_BENCH_AREA("import", RunImportBench);
