#include "wyn/host/dialog_template.h"

#include <algorithm>

namespace kelvo {
namespace {

void PutDword(std::vector<std::uint16_t>& words, std::uint32_t value) {
    words.push_back(static_cast<std::uint16_t>(value & 0xFFFF));
    words.push_back(static_cast<std::uint16_t>(value >> 16));
}

void PutString(std::vector<std::uint16_t>& words, std::u16string_view text) {
    text = text.substr(0, text.find(u'\0'));
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
}

std::uint16_t ClipUnits(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, 0x7FFF));
}

} // namespace

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplateFields& fields) {
    std::vector<std::uint16_t> words;
    words.reserve(16 + fields.caption.size() + fields.faceName.size());
    words.push_back(1);      // dlgVer
    words.push_back(0xFFFF); // signature
    PutDword(words, 0);      // helpID
    PutDword(words, fields.exStyle);
    PutDword(words, fields.style);
    words.push_back(0); // cDlgItems
    words.push_back(0); // x
    words.push_back(0); // y
    words.push_back(ClipUnits(fields.width));
    words.push_back(ClipUnits(fields.height));
    words.push_back(0); // no menu
    words.push_back(0); // the dialog class
    PutString(words, fields.caption);
    if (fields.style & kDialogSetFont) {
        words.push_back(fields.pointSize);
        words.push_back(fields.weight);
        words.push_back(static_cast<std::uint16_t>(fields.italic | (fields.charset << 8)));
        PutString(words, fields.faceName);
    }
    return words;
}

} // namespace kelvo
