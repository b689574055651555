// Arbitrary UTF-16 text through the writer's filter, and its UTF-8 form
// through the reader's: what comes out holds only characters XML 1.0 can
// carry, keeps every other character (surrogate pairs included) in order,
// and a second pass changes nothing. For text without U+0000 (whose zero
// byte marks a file as not UTF-8), the reader's filter of the UTF-8 form
// equals the UTF-8 form of the writer's filter.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/xml_chars.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool IsHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool IsAllowed(char16_t c) {
    return c == 0x9 || c == 0xA || c == 0xD ||
           (c >= 0x20 && c <= 0xFFFD && !IsHigh(c) && !IsLow(c));
}

// UTF-8 with lone surrogates encoded as three bytes, as a careless writer
// would store them.
std::string Encode(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
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
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        // Small values are common in the input so that controls turn up often.
        const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        text += (unit & 0xF000) == 0x7000 ? static_cast<char16_t>(unit & 0x3F) : unit;
    }

    const std::u16string kept = kelvo::DropNonXmlChars(text);

    // Only characters XML can carry, surrogates only in pairs.
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (IsHigh(kept[i])) {
            Check(i + 1 < kept.size() && IsLow(kept[i + 1]));
            ++i;
        } else {
            Check(IsAllowed(kept[i]));
        }
    }
    // Every allowed character and every pair of the input survives, in order.
    std::u16string expected;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
            expected += text[i];
            expected += text[++i];
        } else if (IsAllowed(text[i])) {
            expected += text[i];
        }
    }
    Check(kept == expected);
    Check(kelvo::DropNonXmlChars(kept) == kept);

    if (text.find(u'\0') == std::u16string::npos) {
        const std::string bytes = Encode(text);
        const auto stripped = kelvo::DropNonXmlCharsUtf8(bytes);
        Check(stripped.value_or(bytes) == Encode(kept));
        Check(stripped.has_value() == (kept != text));
        Check(!kelvo::DropNonXmlCharsUtf8(Encode(kept)).has_value());
    }
    return 0;
}
