#pragma once
// The characters XML 1.0 cannot carry, and how the data files do without them.
//
// XML 1.0 allows only TAB, LF, CR, U+0020-U+D7FF, U+E000-U+FFFD and the
// supplementary planes, and forbids the others even as character references.
// Text pasted from other programs can hold them (form feeds, vertical tabs,
// escape codes); written raw they make the whole file unreadable. They are
// dropped rather than escaped: a reversible escape of our own would change
// the text that other builds read from the same file.

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The text without the code units XML 1.0 cannot carry: U+0000-U+0008,
// U+000B, U+000C, U+000E-U+001F, U+FFFE, U+FFFF and surrogates that are not
// part of a pair. Everything else stays as it was, in order.
std::u16string DropNonXmlChars(std::u16string_view text);
// The same, reusing the text's own buffer.
std::u16string DropNonXmlChars(std::u16string&& text);

// The bytes of a file without the raw characters XML cannot carry, when the
// bytes are UTF-8 apart from those: the control bytes 0x01-0x08, 0x0B, 0x0C,
// 0x0E-0x1F, the encodings of U+FFFE and U+FFFF and encoded surrogates.
// Nothing when there was nothing to drop or the bytes are not UTF-8 (another
// encoding, a zero byte, a broken sequence): such a file is left as it is.
std::optional<std::string> DropNonXmlCharsUtf8(std::string_view bytes);

// Where escaped text goes: element content or an attribute value in quotes.
enum class XmlEscape { kContent, kAttribute };

// Appends the text as UTF-8 XML, escaped as the library's saves escape it:
// "&", "<" and ">" as entities everywhere; in element content every line
// break (CR LF, CR or LF) as LF, which a parser hands out for each anyway; in
// attribute values '"', TAB, LF and CR as references (a parser would read
// them as blanks). Characters XML cannot carry are left out, as
// DropNonXmlChars leaves them out; everything else is written raw.
void AppendXmlEscaped(std::string& out, std::u16string_view text, XmlEscape where);

} // namespace kelvo
