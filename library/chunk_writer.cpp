#include "library/chunk_writer.h"

#include "base/utf16.h"
#include "library/xml_chars.h"

namespace {

void AppendAttribute(std::string& out, const char* name, std::wstring_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    kelvo::AppendXmlEscaped(out, kelvo::AsU16(value), kelvo::XmlEscape::kAttribute);
    out += '"';
}

void AppendPassword(std::string& out, const std::optional<std::wstring>& password) {
    if (!password)
        return;
    out += "<password>";
    kelvo::AppendXmlEscaped(out, kelvo::AsU16(*password), kelvo::XmlEscape::kContent);
    out += "</password>";
}

} // namespace

CChunksXmlWriter::CChunksXmlWriter(std::string& out, const std::optional<std::wstring>& password,
                                   bool password_first)
    : m_out(out), m_password(password), m_passwordFirst(password_first) {
    m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kelvo>";
    if (m_passwordFirst)
        AppendPassword(m_out, m_password);
    m_out += "<chunks";
}

void CChunksXmlWriter::Add(const text_chunk& chunk) {
    if (std::exchange(m_empty, false))
        m_out += '>';
    // The attributes in the order a chunk's element gets them when it is made.
    m_out += "<chunk";
    AppendAttribute(m_out, "id", std::to_wstring(chunk.id));
    AppendAttribute(m_out, "encrypted", chunk.encrypted ? L"1" : L"0");
    AppendAttribute(m_out, "title", chunk.title);
    AppendAttribute(m_out, "tags", chunk.GetTagsString());
    m_out += '>';
    kelvo::AppendXmlEscaped(m_out, kelvo::AsU16(chunk.text), kelvo::XmlEscape::kContent);
    m_out += "</chunk>";
}

void CChunksXmlWriter::Finish() {
    m_out += m_empty ? "/>" : "</chunks>";
    if (!m_passwordFirst)
        AppendPassword(m_out, m_password);
    m_out += "</kelvo>\n";
}
