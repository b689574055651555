#pragma once
// Comma-separated values as RFC 4180 has them, over UTF-8 bytes: records end
// at CR LF (also LF or CR alone), a field in double quotes may hold the
// delimiter, line breaks and quotes (doubled).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

struct CsvField {
    std::string text; // quotes removed, doubled quotes undone
    bool quoted = false;
};

struct CsvRecord {
    std::vector<CsvField> fields;
    std::size_t offset = 0; // of its first byte
};

// Reads one record after another. A quote inside a field that did not begin
// with one is an ordinary character, as spreadsheet programs read it.
class CCsvReader {
public:
    enum class Fault {
        kNone,
        kUnclosedQuote,  // at the opening quote
        kTextAfterQuote, // at the first character after the closing quote
    };

    CCsvReader(std::string_view bytes, char delimiter) : m_bytes(bytes), m_delimiter(delimiter) {}

    // The next record; false at the end of the bytes or at a fault.
    bool Next(CsvRecord& record);
    Fault GetFault() const noexcept { return m_fault; }
    std::size_t FaultOffset() const noexcept { return m_faultOffset; }

private:
    bool Fail(Fault fault, std::size_t offset);

    std::string_view m_bytes;
    char m_delimiter;
    std::size_t m_pos = 0;
    Fault m_fault = Fault::kNone;
    std::size_t m_faultOffset = 0;
};

// Appends a field, quoted when it holds a delimiter (comma or semicolon), a
// quote or a line break, or when `force_quote` asks for it.
void AppendCsvField(std::string& out, std::string_view text, bool force_quote = false);

} // namespace kelvo
