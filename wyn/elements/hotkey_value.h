#pragma once
// How key presses build a hotkey value: 16 bits, the virtual-key code in the
// low byte and the modifier flags above it; 0 means no hotkey.

#include <cstdint>

namespace kelvo {

inline constexpr std::uint16_t kHotkeyShift = 0x0100;
inline constexpr std::uint16_t kHotkeyCtrl = 0x0200;
inline constexpr std::uint16_t kHotkeyAlt = 0x0400;
inline constexpr std::uint16_t kHotkeyExtended = 0x0800;
inline constexpr std::uint16_t kHotkeyWin = 0x2000;

// The modifier flag that a virtual key stands for (either hand), 0 for any other key.
std::uint16_t HotkeyModifierOf(unsigned virtual_key) noexcept;

// A key went down. Key 0 changes nothing. A modifier starts the value afresh
// when it already holds a key, then adds its flag; any other key replaces the
// key code, keeps the modifiers and carries `extended`.
std::uint16_t HotkeyAfterKeyDown(std::uint16_t value, unsigned virtual_key, bool extended) noexcept;

// A key went up: a modifier released before any key was pressed leaves the value.
std::uint16_t HotkeyAfterKeyUp(std::uint16_t value, unsigned virtual_key) noexcept;

} // namespace kelvo
