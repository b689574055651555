#include "library/csv.h"

namespace kelvo {

bool CCsvReader::Fail(Fault fault, std::size_t offset) {
    m_fault = fault;
    m_faultOffset = offset;
    return false;
}

bool CCsvReader::Next(CsvRecord& record) {
    if (m_fault != Fault::kNone || m_pos >= m_bytes.size())
        return false;
    record.offset = m_pos;
    // The fields are filled again, keeping the room their texts had.
    std::size_t count = 0;
    auto end = [&](bool read) {
        record.fields.resize(count);
        return read;
    };
    for (;;) {
        if (count == record.fields.size())
            record.fields.emplace_back();
        CsvField& field = record.fields[count++];
        field.text.clear();
        field.quoted = false;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"') {
            field.quoted = true;
            const std::size_t open = m_pos++;
            for (;;) {
                const std::size_t quote = m_bytes.find('"', m_pos);
                if (quote == m_bytes.npos)
                    return end(Fail(Fault::kUnclosedQuote, open));
                field.text.append(m_bytes.substr(m_pos, quote - m_pos));
                m_pos = quote + 1;
                if (m_pos < m_bytes.size() && m_bytes[m_pos] == '"') {
                    field.text += '"';
                    ++m_pos;
                } else {
                    break;
                }
            }
        } else {
            const std::size_t start = m_pos;
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != m_delimiter &&
                   m_bytes[m_pos] != '\r' && m_bytes[m_pos] != '\n')
                ++m_pos;
            field.text.assign(m_bytes.substr(start, m_pos - start));
        }
        if (m_pos >= m_bytes.size())
            return end(true);
        const char c = m_bytes[m_pos++];
        if (c == m_delimiter)
            continue;
        if (c == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        if (c == '\r' || c == '\n')
            return end(true);
        return end(Fail(Fault::kTextAfterQuote, m_pos - 1));
    }
}

void AppendCsvField(std::string& out, std::string_view text, bool force_quote) {
    if (!force_quote && text.find_first_of(",;\"\r\n") == text.npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace kelvo
