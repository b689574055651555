#pragma once
// Chunks in and out of the open formats other programs read and write: CSV
// (a header row title,tags,text) and a JSON format of our own. Both are UTF-8;
// both are described in docs/chunk-files.md.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelvo {

// A chunk as the files carry it: no id, and the text in clear. `encrypted`
// says that the library held it encrypted (and that it should be again).
struct ExchangeChunk {
    std::u16string title;
    std::vector<std::u16string> tags;
    std::u16string text;
    bool encrypted = false;

    bool operator==(const ExchangeChunk&) const = default;
};

// Why a file was refused, and where (1-based; 0 when the fault has no place).
struct ExchangeError {
    enum class Kind {
        kEmpty,          // nothing but blanks
        kTooLarge,       // more bytes than the limits allow
        kNotText,        // holds a zero byte
        kUtf16,          // UTF-16 text (a byte-order mark says so)
        kNotUtf8,        // not UTF-8 from `line`, `column` on
        kUnclosedQuote,  // CSV: the quoted field opened at `line`, `column` never closes
        kTextAfterQuote, // CSV: more after a closing quote, before the next comma
        kJsonSyntax,     // not JSON from `line`, `column` on
        kNotOurJson,     // JSON, but not a chunk file of ours
        kNewerVersion,   // a chunk file of a later version of the format
        kWrongValue,     // our JSON, with a value of the wrong kind at `line`, `column`
        kNoChunks,       // well formed, without a single chunk
        kTooManyChunks,  // more chunks than the limits allow, the first extra at `line`
    };
    Kind kind;
    int line = 0;
    int column = 0;

    bool operator==(const ExchangeError&) const = default;
};

// Bounds on what one import reads, by default far above any real library,
// so that a stray file cannot exhaust the memory.
struct ExchangeLimits {
    std::size_t bytes = 256u << 20;
    std::size_t chunks = 1'000'000;
};

using ExchangeResult = std::variant<std::vector<ExchangeChunk>, ExchangeError>;

// The chunks of a file, or the first fault in it. Texts lose the characters
// XML cannot carry (as typed text does) and tags come apart as the tag box
// splits them (CSV) or as listed (JSON, empty ones left out).
ExchangeResult ReadChunksCsv(std::string_view bytes, ExchangeLimits limits = {});
ExchangeResult ReadChunksJson(std::string_view bytes, ExchangeLimits limits = {});
// JSON when the first thing in the file is "{", or "[" and the rest reads as
// JSON; else CSV.
ExchangeResult ReadChunks(std::string_view bytes, ExchangeLimits limits = {});

// The chunks as a file: CSV with a byte-order mark (so spreadsheet programs
// take it as UTF-8), CR LF between records, the header title,tags,text (and
// a column "encrypted" when any chunk is); or JSON.
std::string WriteChunksCsv(std::span<const ExchangeChunk> chunks);
std::string WriteChunksJson(std::span<const ExchangeChunk> chunks);

// The tags as one CSV field: joined by ";" as the library file joins them,
// with "\" before any ";", ",", '"' or "\" inside a tag, so that splitting
// the field gives back every tag as it was.
std::u16string JoinTagsForCsv(std::span<const std::u16string> tags);

} // namespace kelvo
