#include "library/utf8.h"

namespace kelvo {

namespace {

constexpr bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Length of the sequence starting at `i`, 0 when it is not UTF-8.
std::size_t SequenceLength(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2 || lead > 0xF4)
        return 0;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (i + length > bytes.size())
        return 0;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if (!IsContinuation(next))
            return 0;
        c = c << 6 | (next & 0x3F);
    }
    if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
        (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
        return 0;
    return length;
}

} // namespace

std::optional<std::size_t> FindUtf8Fault(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0)
            return i;
        i += length;
    }
    return std::nullopt;
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
    // Never more code units than bytes: written through a pointer into a
    // buffer of that size, then cut to what was written.
    std::u16string text(bytes.size(), u'\0');
    char16_t* out = text.data();
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            *out++ = lead;
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t c = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < bytes.size(); ++k)
            c = c << 6 | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
        i += length;
        if (c < 0x10000) {
            *out++ = static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))
            continue;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

TextPosition PositionAt(std::string_view bytes, std::size_t offset) {
    TextPosition at{1, 1};
    for (std::size_t i = 0; i < offset && i < bytes.size(); ++i) {
        const char b = bytes[i];
        if (b == '\n' || (b == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) {
            ++at.line;
            at.column = 1;
        } else if (b != '\r' && !IsContinuation(static_cast<unsigned char>(b))) {
            ++at.column;
        }
    }
    return at;
}

} // namespace kelvo
