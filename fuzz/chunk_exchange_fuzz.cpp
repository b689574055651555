// Any bytes as a chunk file (CSV, our JSON, told by content, or as the chunk
// list of our JSON): no crash, and
// what reads is written back by both writers and read again unchanged. Then
// the bytes as chunks (UTF-16 units, fields split at U+0000): after the
// characters XML cannot carry are dropped, as in the library, both formats
// carry them there and back exactly, and the import plan finds each of them
// identical to itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "library/chunk_exchange.h"
#include "library/import_plan.h"
#include "library/tokenizer.h"
#include "library/xml_chars.h"

using namespace kelvo;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const std::vector<ExchangeChunk>& chunks) {
    for (auto read : {&ReadChunksCsv, &ReadChunksJson}) {
        const std::string file =
            read == &ReadChunksCsv ? WriteChunksCsv(chunks) : WriteChunksJson(chunks);
        const ExchangeResult again = read(file, {});
        Check(std::holds_alternative<std::vector<ExchangeChunk>>(again));
        Check(std::get<std::vector<ExchangeChunk>>(again) == chunks);
        const ExchangeResult told = ReadChunks(file, {});
        Check(std::holds_alternative<std::vector<ExchangeChunk>>(told));
        Check(std::get<std::vector<ExchangeChunk>>(told) == chunks);
    }
}

// Fields of UTF-16 units: title, text, then tags; U+0000 ends a field and
// two in a row end a chunk; a title of odd length marks the chunk encrypted.
// Small values stand for the characters that matter most to the formats.
std::vector<ExchangeChunk> ChunksOf(const std::uint8_t* data, std::size_t size) {
    static constexpr char16_t kCommon[] = u",;\"\\\r\n\t []{}:#\u00E9\uFEFF";
    std::vector<ExchangeChunk> chunks(1);
    std::u16string field;
    int index = 0;
    auto end_field = [&] {
        ExchangeChunk& chunk = chunks.back();
        field = DropNonXmlChars(field);
        if (index == 0) {
            chunk.title = field;
            chunk.encrypted = field.size() % 2 == 1;
        } else if (index == 1)
            chunk.text = field;
        else if (!field.empty())
            chunk.tags.push_back(field);
        field.clear();
        ++index;
    };
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == 0) {
            end_field();
            if (index > 2 && i + 3 < size && data[i + 2] == 0 && data[i + 3] == 0) {
                chunks.emplace_back();
                index = 0;
                i += 2;
            }
        } else if (unit < std::size(kCommon) - 1) {
            field += kCommon[unit];
        } else {
            field += unit;
        }
    }
    end_field();
    return chunks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Also as the chunk list of our JSON, which the fuzzer would seldom find alone.
    const std::string in_json =
        R"({"format": "kelvo-chunks", "version": 1, "chunks": [)" + std::string(bytes);
    for (auto [read, file] : {std::pair{&ReadChunksCsv, std::string_view(bytes)},
                              {&ReadChunksJson, bytes},
                              {&ReadChunks, bytes},
                              {&ReadChunksJson, in_json}}) {
        const ExchangeResult result = read(file, {});
        if (const auto* chunks = std::get_if<std::vector<ExchangeChunk>>(&result)) {
            Check(!chunks->empty());
            CheckRoundTrip(*chunks);
        } else {
            const ExchangeError& error = std::get<ExchangeError>(result);
            Check(error.line >= 0 && error.column >= 0);
        }
    }

    const std::vector<ExchangeChunk> chunks = ChunksOf(data, size);
    CheckRoundTrip(chunks);

    CImportPlanner planner;
    std::vector<std::u16string> joined;
    for (const ExchangeChunk& chunk : chunks)
        joined.push_back(JoinTags(chunk.tags));
    for (std::size_t i = 0; i < chunks.size(); ++i)
        planner.AddExisting(chunks[i].title, joined[i], chunks[i].text, chunks[i].encrypted);
    const ImportPlan plan = planner.Plan(chunks);
    Check(plan.identical == static_cast<int>(chunks.size()));
    return 0;
}
