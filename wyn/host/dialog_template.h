#pragma once
// The in-memory template of a dialog whose controls are all created by code:
// the extended dialog header (DLGTEMPLATEEX), its caption and, when the style
// asks for one, its font. The block is as long as its contents, so a caption
// of any length fits.

#include <cstdint>
#include <string_view>
#include <vector>

namespace kelvo {

// DS_SETFONT: the template carries the font fields.
inline constexpr std::uint32_t kDialogSetFont = 0x40;

struct DialogTemplateFields {
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int width = 0; // dialog units; clipped to the 16-bit range of the template
    int height = 0;
    std::u16string_view caption = {};
    std::uint16_t pointSize = 0;
    std::uint16_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t charset = 0;
    std::u16string_view faceName = {};
};

// The template as 16-bit words: version 1, signature 0xFFFF, no help id, no
// items, at (0, 0), no menu, the default class. A caption or face name is cut
// at its first zero character, which would otherwise end it early.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplateFields& fields);

} // namespace kelvo
