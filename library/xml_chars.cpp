#include "library/xml_chars.h"

#include <utility>

namespace kelvo {

namespace {

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A character of the Basic Multilingual Plane outside the surrogates.
constexpr bool IsXmlBmpChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xFFFD);
}

// Bytes 0x80-0xBF continue a multi-byte sequence.
constexpr bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The first code unit from `from` on that DropNonXmlChars keeps; 0 when none.
char16_t NextKept(std::u16string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) ? i + 1 < text.size() && IsLowSurrogate(text[i + 1])
                               : !IsLowSurrogate(c) && IsXmlBmpChar(c))
            return c;
    }
    return 0;
}

} // namespace

std::u16string DropNonXmlChars(std::u16string&& text) {
    // Kept code units move forward in place; the text never grows.
    char16_t* out = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c)) {
            if (i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                *out++ = c;
                *out++ = text[++i];
            }
        } else if (!IsLowSurrogate(c) && IsXmlBmpChar(c)) {
            *out++ = c;
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return std::move(text);
}

std::u16string DropNonXmlChars(std::u16string_view text) {
    return DropNonXmlChars(std::u16string(text));
}

std::optional<std::string> DropNonXmlCharsUtf8(std::string_view bytes) {
    std::string kept;
    kept.reserve(bytes.size());
    bool dropped = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            if (lead == 0)
                return std::nullopt; // UTF-16, or a zero byte XML never holds
            if (IsXmlBmpChar(lead))
                kept += static_cast<char>(lead);
            else
                dropped = true;
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0xC2 || lead > 0xF4 || i + length > bytes.size())
            return std::nullopt;
        char32_t c = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (!IsContinuation(next))
                return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        // Overlong forms and values past U+10FFFF are not UTF-8.
        if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return std::nullopt;
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF)
            dropped = true;
        else
            kept.append(bytes.substr(i, length));
        i += length;
    }
    if (!dropped)
        return std::nullopt;
    return kept;
}

void AppendXmlEscaped(std::string& out, std::u16string_view text, XmlEscape where) {
    const bool attribute = where == XmlEscape::kAttribute;
    out.reserve(out.size() + text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            switch (c) {
            case u'&':
                out += "&amp;";
                break;
            case u'<':
                out += "&lt;";
                break;
            case u'>':
                out += "&gt;";
                break;
            case u'\r':
                // In element content a line break of any form is written as
                // the LF a parser hands out for each.
                if (attribute)
                    out += "&#13;";
                else if (NextKept(text, i + 1) != u'\n')
                    out += '\n';
                break;
            case u'"':
                out += attribute ? "&quot;" : "\"";
                break;
            case u'\t':
                out += attribute ? "&#9;" : "\t";
                break;
            case u'\n':
                out += attribute ? "&#10;" : "\n";
                break;
            default:
                if (c >= 0x20)
                    out += static_cast<char>(c);
            }
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (IsHighSurrogate(c)) {
            if (i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                const char32_t full =
                    0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[++i] - 0xDC00);
                out += static_cast<char>(0xF0 | (full >> 18));
                out += static_cast<char>(0x80 | ((full >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((full >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (full & 0x3F));
            }
        } else if (!IsLowSurrogate(c) && c <= 0xFFFD) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

} // namespace kelvo
