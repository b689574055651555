#pragma once
// UTF-8 files and the program's UTF-16 text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// Where the bytes stop being UTF-8 (a stray continuation byte, a cut or
// overlong sequence, an encoded surrogate, a value past U+10FFFF); nothing
// when all of them are.
std::optional<std::size_t> FindUtf8Fault(std::string_view bytes);

// Bytes FindUtf8Fault accepted, as UTF-16.
std::u16string Utf8ToUtf16(std::string_view bytes);

// Appends the text as UTF-8; a surrogate that is not part of a pair has no
// UTF-8 form and is left out.
void AppendUtf8(std::string& out, std::u16string_view text);

// 1-based line and column of a byte offset, for telling where a file is
// wrong. Lines end at LF, CR LF or CR; columns count characters.
struct TextPosition {
    int line = 0;
    int column = 0;
};
TextPosition PositionAt(std::string_view bytes, std::size_t offset);

} // namespace kelvo
