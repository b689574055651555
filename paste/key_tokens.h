#pragma once
// The key tokens of the chunk text language with their virtual-key codes, in
// the order the chunk editor's menu and completion popup offer them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kelvo {

struct KeyToken {
    std::u16string_view text; // upper case, brackets included
    std::uint16_t code;       // Windows virtual-key code
};

inline constexpr std::array<KeyToken, 31> kKeyTokens{{
    {u"[TAB]", 0x09},       {u"[CAPSLOCK]", 0x14}, {u"[SHIFT]", 0x10},    {u"[CTRL]", 0x11},
    {u"[BACKSPACE]", 0x08}, {u"[ENTER]", 0x0D},    {u"[ALT]", 0x12},      {u"[WINDOW]", 0x5B},
    {u"[LEFT]", 0x25},      {u"[RIGHT]", 0x27},    {u"[UP]", 0x26},       {u"[DOWN]", 0x28},
    {u"[ESC]", 0x1B},       {u"[PAGEUP]", 0x21},   {u"[PAGEDOWN]", 0x22}, {u"[HOME]", 0x24},
    {u"[END]", 0x23},       {u"[INS]", 0x2D},      {u"[DEL]", 0x2E},      {u"[F1]", 0x70},
    {u"[F2]", 0x71},        {u"[F3]", 0x72},       {u"[F4]", 0x73},       {u"[F5]", 0x74},
    {u"[F6]", 0x75},        {u"[F7]", 0x76},       {u"[F8]", 0x77},       {u"[F9]", 0x78},
    {u"[F10]", 0x79},       {u"[F11]", 0x7A},      {u"[F12]", 0x7B},
}};

// What the key-code editor offers after a typed "[", in this order: the
// continuations of the bracket forms (a backslash and "\x" for a decimal or
// hexadecimal key code, "*" for a character key), every key token without its
// "[", and the pause command, whose number the user types.
inline constexpr std::array<std::u16string_view, kKeyTokens.size() + 4> kBracketCompletions = [] {
    std::array<std::u16string_view, kKeyTokens.size() + 4> items{u"\\", u"\\x", u"*"};
    for (std::size_t i = 0; i < kKeyTokens.size(); ++i)
        items[3 + i] = kKeyTokens[i].text.substr(1);
    items.back() = u"SLEEP";
    return items;
}();

// The row whose whole token text begins `text`, compared without regard to
// ASCII case; null when none does.
const KeyToken* MatchKeyToken(std::u16string_view text) noexcept;

// ASCII-only case folding, the one the language uses for its keywords.
constexpr char16_t AsciiUpper(char16_t c) noexcept {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// True when `text` begins with `upper` (an upper-case ASCII keyword), ignoring ASCII case.
constexpr bool StartsWithNoCase(std::u16string_view text, std::u16string_view upper) noexcept {
    if (text.size() < upper.size())
        return false;
    for (std::size_t i = 0; i < upper.size(); ++i) {
        if (AsciiUpper(text[i]) != upper[i])
            return false;
    }
    return true;
}

} // namespace kelvo
