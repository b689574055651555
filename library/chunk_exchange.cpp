#include "library/chunk_exchange.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>

#include <nlohmann/json.hpp>

#include "library/csv.h"
#include "library/tokenizer.h"
#include "library/utf8.h"
#include "library/xml_chars.h"

namespace kelvo {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kJsonFormat = "kelvo-chunks";
constexpr int kJsonVersion = 1;

ExchangeError ErrorAt(ExchangeError::Kind kind, std::string_view bytes, std::size_t offset) {
    const TextPosition at = PositionAt(bytes, offset);
    return {kind, at.line, at.column};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text of a file without its byte-order mark, or why it is no text we read.
std::variant<std::string_view, ExchangeError> TextOf(std::string_view bytes,
                                                     std::size_t max_bytes) {
    using Kind = ExchangeError::Kind;
    if (bytes.size() > max_bytes)
        return ExchangeError{Kind::kTooLarge};
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        return ExchangeError{Kind::kUtf16};
    if (bytes.starts_with(kBom))
        bytes.remove_prefix(kBom.size());
    if (const std::size_t zero = bytes.find('\0'); zero != bytes.npos)
        return ErrorAt(Kind::kNotText, bytes, zero);
    if (const auto fault = FindUtf8Fault(bytes))
        return ErrorAt(Kind::kNotUtf8, bytes, *fault);
    if (std::all_of(bytes.begin(), bytes.end(), IsBlank))
        return ExchangeError{Kind::kEmpty};
    return bytes;
}

std::u16string StoredText(std::string_view utf8) {
    return DropNonXmlChars(Utf8ToUtf16(utf8));
}

// --- CSV ---

// Where the columns are; -1 for a column the file lacks.
struct Columns {
    int title = 0;
    int tags = 1;
    int text = 2;
    int encrypted = -1;
};

std::string Keyword(std::string_view field) {
    while (!field.empty() && IsBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back()))
        field.remove_suffix(1);
    std::string word(field);
    for (char& c : word)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return word;
}

// The columns a header row names; nothing when the row names neither a
// title nor a text column (then it is a chunk).
std::optional<Columns> HeaderColumns(const CsvRecord& record) {
    Columns columns{-1, -1, -1, -1};
    for (int i = static_cast<int>(record.fields.size()) - 1; i >= 0; --i) {
        const std::string word = Keyword(record.fields[i].text);
        if (word == "title")
            columns.title = i;
        else if (word == "tags")
            columns.tags = i;
        else if (word == "text")
            columns.text = i;
        else if (word == "encrypted")
            columns.encrypted = i;
    }
    if (columns.title < 0 && columns.text < 0)
        return std::nullopt;
    return columns;
}

// The delimiter and the columns: a header row with commas, one with
// semicolons (as spreadsheet programs write in some languages), or else
// commas and the first three columns.
std::pair<char, std::optional<Columns>> Layout(std::string_view text) {
    for (char delimiter : {',', ';'}) {
        CCsvReader reader(text, delimiter);
        CsvRecord first;
        if (reader.Next(first)) {
            if (auto columns = HeaderColumns(first))
                return {delimiter, columns};
        }
    }
    return {',', std::nullopt};
}

bool IsEmptyRow(const CsvRecord& record) {
    for (const CsvField& field : record.fields)
        if (field.quoted || !field.text.empty())
            return false;
    return true;
}

bool IsYes(std::string_view field) {
    const std::string word = Keyword(field);
    return word == "1" || word == "true" || word == "yes";
}

// --- JSON ---

// Walks the bytes for the JSON parser and keeps where it is, so that a value
// of the wrong kind can be told by its place.
class CTrackingIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CTrackingIterator() = default;
    CTrackingIterator(const char* p, const char** last_read) : m_p(p), m_lastRead(last_read) {}
    reference operator*() const {
        *m_lastRead = m_p;
        return *m_p;
    }
    CTrackingIterator& operator++() {
        ++m_p;
        return *this;
    }
    CTrackingIterator operator++(int) {
        CTrackingIterator before = *this;
        ++m_p;
        return before;
    }
    bool operator==(const CTrackingIterator& other) const { return m_p == other.m_p; }

private:
    const char* m_p = nullptr;
    const char** m_lastRead = nullptr;
};

// Builds the chunks from the parser's events, without a document tree, and
// stops at the first value that does not fit the format.
class CChunkSax {
public:
    using json = nlohmann::json;

    CChunkSax(std::string_view text, const char** last_read, std::size_t max_chunks)
        : m_text(text), m_lastRead(last_read), m_maxChunks(max_chunks) {}

    // Other programs write null for a member they have no value for.
    bool null() {
        switch (NextSlot()) {
        case Slot::kTitle:
        case Slot::kTags:
        case Slot::kText:
        case Slot::kEncrypted:
            return Fill();
        default:
            return Value();
        }
    }
    bool boolean(bool value) {
        if (NextSlot() == Slot::kEncrypted) {
            m_chunk.encrypted = value;
            return Fill();
        }
        return Value();
    }
    bool number_integer(json::number_integer_t value) {
        if (NextSlot() == Slot::kVersion) {
            m_version = value;
            return Fill();
        }
        return Value();
    }
    bool number_unsigned(json::number_unsigned_t value) {
        if (NextSlot() == Slot::kVersion) {
            m_version = static_cast<std::int64_t>(
                std::min<json::number_unsigned_t>(value, std::numeric_limits<std::int64_t>::max()));
            return Fill();
        }
        return Value();
    }
    bool number_float(json::number_float_t, const json::string_t&) { return Value(); }
    bool binary(json::binary_t&) { return Value(); }
    bool string(json::string_t& value) {
        switch (NextSlot()) {
        case Slot::kFormat:
            m_format = value;
            return Fill();
        case Slot::kTitle:
            m_chunk.title = StoredText(value);
            return Fill();
        case Slot::kText:
            m_chunk.text = StoredText(value);
            return Fill();
        case Slot::kTag:
            if (std::u16string tag = StoredText(value); !tag.empty())
                m_chunk.tags.push_back(std::move(tag));
            return true;
        default:
            return Value();
        }
    }
    bool start_object(std::size_t) {
        switch (NextSlot()) {
        case Slot::kRoot:
            return Open(Slot::kRoot);
        case Slot::kChunk:
            if (m_chunks.size() == m_maxChunks)
                return Stop(ExchangeError::Kind::kTooManyChunks);
            m_chunk = {};
            return Open(Slot::kChunk);
        case Slot::kIgnored:
            return Open(Slot::kIgnored);
        default:
            return Value();
        }
    }
    bool start_array(std::size_t) {
        switch (NextSlot()) {
        case Slot::kChunks:
            return Open(Slot::kChunks);
        case Slot::kTags:
            m_chunk.tags.clear();
            return Open(Slot::kTags);
        case Slot::kIgnored:
            return Open(Slot::kIgnored);
        default:
            return Value();
        }
    }
    bool key(json::string_t& name) {
        m_keySlot = Slot::kIgnored;
        if (m_ignored > 0)
            return true;
        if (m_open.back() == Slot::kRoot) {
            if (name == "format")
                m_keySlot = Slot::kFormat;
            else if (name == "version")
                m_keySlot = Slot::kVersion;
            else if (name == "chunks")
                m_keySlot = Slot::kChunks;
        } else if (m_open.back() == Slot::kChunk) {
            if (name == "title")
                m_keySlot = Slot::kTitle;
            else if (name == "tags")
                m_keySlot = Slot::kTags;
            else if (name == "text")
                m_keySlot = Slot::kText;
            else if (name == "encrypted")
                m_keySlot = Slot::kEncrypted;
        }
        return true;
    }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) {
        // The parser counts the character it stopped at.
        m_error =
            ErrorAt(ExchangeError::Kind::kJsonSyntax, m_text, position > 0 ? position - 1 : 0);
        return false;
    }

    // After the parse: the chunks, or the first fault.
    ExchangeResult Result() {
        using Kind = ExchangeError::Kind;
        if (m_error)
            return *m_error;
        if (m_format != kJsonFormat || m_version < 1)
            return ExchangeError{Kind::kNotOurJson};
        if (m_version > kJsonVersion)
            return ExchangeError{Kind::kNewerVersion};
        if (m_chunks.empty())
            return ExchangeError{Kind::kNoChunks};
        return std::move(m_chunks);
    }

private:
    // What a value stands for, by the container it is in and its key.
    enum class Slot {
        kRoot,
        kFormat,
        kVersion,
        kChunks,
        kChunk,
        kTitle,
        kTags,
        kTag,
        kText,
        kEncrypted,
        kIgnored
    };

    Slot NextSlot() const {
        if (m_ignored > 0)
            return Slot::kIgnored;
        if (m_open.empty())
            return Slot::kRoot;
        switch (m_open.back()) {
        case Slot::kRoot:
        case Slot::kChunk:
            return m_keySlot;
        case Slot::kChunks:
            return Slot::kChunk;
        case Slot::kTags:
            return Slot::kTag;
        default:
            return Slot::kIgnored;
        }
    }
    // A scalar: fine where nothing is expected, wrong where something is.
    bool Value() {
        const Slot slot = NextSlot();
        if (slot == Slot::kIgnored)
            return Fill();
        return Stop(slot == Slot::kRoot || m_format != kJsonFormat
                        ? ExchangeError::Kind::kNotOurJson
                        : ExchangeError::Kind::kWrongValue);
    }
    bool Fill() {
        m_keySlot = Slot::kIgnored;
        return true;
    }
    bool Open(Slot slot) {
        // Counted, not stacked: what is passed over may nest deep.
        if (slot == Slot::kIgnored)
            ++m_ignored;
        else
            m_open.push_back(slot);
        return Fill();
    }
    bool Close() {
        if (m_ignored > 0) {
            --m_ignored;
            return Fill();
        }
        if (m_open.back() == Slot::kChunk)
            m_chunks.push_back(std::move(m_chunk));
        m_open.pop_back();
        return Fill();
    }
    bool Stop(ExchangeError::Kind kind) {
        m_error = ErrorAt(kind, m_text, static_cast<std::size_t>(*m_lastRead - m_text.data()));
        return false;
    }

    std::string_view m_text;
    const char** m_lastRead;
    std::size_t m_maxChunks;
    std::vector<Slot> m_open;  // the containers of the format entered
    std::size_t m_ignored = 0; // depth inside a value passed over
    Slot m_keySlot = Slot::kIgnored;
    std::string m_format;
    std::int64_t m_version = 0;
    ExchangeChunk m_chunk;
    std::vector<ExchangeChunk> m_chunks;
    std::optional<ExchangeError> m_error;
};

} // namespace

ExchangeResult ReadChunksCsv(std::string_view bytes, ExchangeLimits limits) {
    using Kind = ExchangeError::Kind;
    auto text_or_error = TextOf(bytes, limits.bytes);
    if (auto* error = std::get_if<ExchangeError>(&text_or_error))
        return *error;
    const std::string_view text = std::get<std::string_view>(text_or_error);

    const auto [delimiter, header] = Layout(text);
    const Columns columns = header.value_or(Columns{});
    CCsvReader reader(text, delimiter);
    CsvRecord record;
    if (header)
        reader.Next(record);
    std::vector<ExchangeChunk> chunks;
    auto field = [&](int column) -> std::string_view {
        if (column < 0 || column >= static_cast<int>(record.fields.size()))
            return {};
        return record.fields[column].text;
    };
    while (reader.Next(record)) {
        if (IsEmptyRow(record))
            continue;
        if (chunks.size() == limits.chunks)
            return ErrorAt(Kind::kTooManyChunks, text, record.offset);
        ExchangeChunk& chunk = chunks.emplace_back();
        chunk.title = StoredText(field(columns.title));
        chunk.tags = SplitTags(StoredText(field(columns.tags)));
        chunk.text = StoredText(field(columns.text));
        chunk.encrypted = IsYes(field(columns.encrypted));
    }
    switch (reader.GetFault()) {
    case CCsvReader::Fault::kUnclosedQuote:
        return ErrorAt(Kind::kUnclosedQuote, text, reader.FaultOffset());
    case CCsvReader::Fault::kTextAfterQuote:
        return ErrorAt(Kind::kTextAfterQuote, text, reader.FaultOffset());
    case CCsvReader::Fault::kNone:
        break;
    }
    if (chunks.empty())
        return ExchangeError{Kind::kNoChunks};
    return chunks;
}

ExchangeResult ReadChunksJson(std::string_view bytes, ExchangeLimits limits) {
    auto text_or_error = TextOf(bytes, limits.bytes);
    if (auto* error = std::get_if<ExchangeError>(&text_or_error))
        return *error;
    const std::string_view text = std::get<std::string_view>(text_or_error);

    const char* last_read = text.data();
    CChunkSax sax(text, &last_read, limits.chunks);
    nlohmann::json::sax_parse(CTrackingIterator(text.data(), &last_read),
                              CTrackingIterator(text.data() + text.size(), &last_read), &sax);
    return sax.Result();
}

ExchangeResult ReadChunks(std::string_view bytes, ExchangeLimits limits) {
    std::string_view rest = bytes.starts_with(kBom) ? bytes.substr(kBom.size()) : bytes;
    const std::size_t first = rest.find_first_not_of(" \t\r\n");
    if (first == rest.npos)
        return ReadChunksCsv(bytes, limits);
    // "[" may also begin a title in a CSV file without a header row.
    if (rest[first] == '{' ||
        (rest[first] == '[' && nlohmann::json::accept(rest.begin(), rest.end())))
        return ReadChunksJson(bytes, limits);
    return ReadChunksCsv(bytes, limits);
}

std::u16string JoinTagsForCsv(std::span<const std::u16string> tags) {
    std::u16string joined;
    for (const std::u16string& tag : tags) {
        if (!joined.empty())
            joined += u';';
        for (char16_t c : tag) {
            if (c == u';' || c == u',' || c == u'"' || c == u'\\')
                joined += u'\\';
            joined += c;
        }
    }
    return joined;
}

std::string WriteChunksCsv(std::span<const ExchangeChunk> chunks) {
    const bool with_encrypted =
        std::any_of(chunks.begin(), chunks.end(), [](const auto& c) { return c.encrypted; });
    std::string out(kBom);
    out += with_encrypted ? "title,tags,text,encrypted\r\n" : "title,tags,text\r\n";
    std::string field;
    auto append = [&](std::u16string_view text, bool force_quote = false) {
        field.clear();
        AppendUtf8(field, text);
        AppendCsvField(out, field, force_quote);
    };
    for (const ExchangeChunk& chunk : chunks) {
        // A row of empty fields is read as a blank line; a quoted title keeps it a chunk.
        const bool blank = chunk.title.empty() && chunk.tags.empty() && chunk.text.empty();
        append(chunk.title, blank && !with_encrypted);
        out += ',';
        append(JoinTagsForCsv(chunk.tags));
        out += ',';
        append(chunk.text);
        if (with_encrypted)
            out += chunk.encrypted ? ",1" : ",0";
        out += "\r\n";
    }
    return out;
}

std::string WriteChunksJson(std::span<const ExchangeChunk> chunks) {
    auto utf8 = [](std::u16string_view text) {
        std::string out;
        AppendUtf8(out, text);
        return out;
    };
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const ExchangeChunk& chunk : chunks) {
        nlohmann::ordered_json tags = nlohmann::ordered_json::array();
        for (const std::u16string& tag : chunk.tags)
            tags.push_back(utf8(tag));
        list.push_back({{"title", utf8(chunk.title)},
                        {"tags", std::move(tags)},
                        {"text", utf8(chunk.text)},
                        {"encrypted", chunk.encrypted}});
    }
    nlohmann::ordered_json root = {
        {"format", kJsonFormat}, {"version", kJsonVersion}, {"chunks", std::move(list)}};
    return root.dump(2) + "\n";
}

} // namespace kelvo
