#include "wyn/elements/hotkey_value.h"

namespace kelvo {
namespace {

// Virtual-key codes, written out so that this stays free of the platform headers.
constexpr unsigned kShift = 0x10, kControl = 0x11, kMenu = 0x12;
constexpr unsigned kLeftWin = 0x5B, kRightWin = 0x5C;
constexpr unsigned kLeftShift = 0xA0, kRightShift = 0xA1;
constexpr unsigned kLeftControl = 0xA2, kRightControl = 0xA3;
constexpr unsigned kLeftMenu = 0xA4, kRightMenu = 0xA5;
// Keys of some keyboards that act as a Win key.
constexpr unsigned kOemWin1 = 234, kOemWin2 = 241;

constexpr std::uint16_t kKeyMask = 0x00FF;

} // namespace

std::uint16_t HotkeyModifierOf(unsigned virtual_key) noexcept {
    switch (virtual_key) {
    case kShift:
    case kLeftShift:
    case kRightShift:
        return kHotkeyShift;
    case kControl:
    case kLeftControl:
    case kRightControl:
        return kHotkeyCtrl;
    case kMenu:
    case kLeftMenu:
    case kRightMenu:
        return kHotkeyAlt;
    case kLeftWin:
    case kRightWin:
    case kOemWin1:
    case kOemWin2:
        return kHotkeyWin;
    default:
        return 0;
    }
}

std::uint16_t HotkeyAfterKeyDown(std::uint16_t value, unsigned virtual_key,
                                 bool extended) noexcept {
    virtual_key &= kKeyMask;
    if (virtual_key == 0)
        return value;
    if (const std::uint16_t modifier = HotkeyModifierOf(virtual_key)) {
        if (value & kKeyMask)
            value = 0;
        return static_cast<std::uint16_t>(value | modifier);
    }
    const auto modifiers =
        static_cast<std::uint16_t>(value & (kHotkeyShift | kHotkeyCtrl | kHotkeyAlt | kHotkeyWin));
    return static_cast<std::uint16_t>(modifiers | virtual_key | (extended ? kHotkeyExtended : 0));
}

std::uint16_t HotkeyAfterKeyUp(std::uint16_t value, unsigned virtual_key) noexcept {
    const std::uint16_t modifier = HotkeyModifierOf(virtual_key & kKeyMask);
    if (modifier && !(value & kKeyMask))
        value = static_cast<std::uint16_t>(value & ~modifier);
    return value;
}

} // namespace kelvo
