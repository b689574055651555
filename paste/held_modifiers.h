#pragma once
// Which of the four modifier keys a paste has pressed and not yet let go. The
// main window owns one for its life; every paste starts by resetting it.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kelvo {

inline constexpr std::uint16_t kVkShift = 0x10;
inline constexpr std::uint16_t kVkControl = 0x11;
inline constexpr std::uint16_t kVkAlt = 0x12;
inline constexpr std::uint16_t kVkLeftWindows = 0x5B;

// The modifier codes in the order held ones are let go.
inline constexpr std::array<std::uint16_t, 4> kModifierReleaseOrder{kVkControl, kVkShift, kVkAlt,
                                                                    kVkLeftWindows};

// Only these four codes latch; the right Windows key and the side-specific
// Shift, Ctrl and Alt codes are ordinary keys.
constexpr bool IsModifierCode(std::uint16_t code) noexcept {
    for (std::uint16_t modifier : kModifierReleaseOrder) {
        if (modifier == code)
            return true;
    }
    return false;
}

class CHeldModifiers {
public:
    bool IsHeld(std::uint16_t code) const noexcept {
        const std::size_t slot = SlotOf(code);
        return slot < m_held.size() && m_held[slot];
    }
    // Codes that are no modifier are ignored.
    void SetHeld(std::uint16_t code, bool held) noexcept {
        const std::size_t slot = SlotOf(code);
        if (slot < m_held.size())
            m_held[slot] = held;
    }
    void Reset() noexcept { m_held = {}; }

private:
    static constexpr std::size_t SlotOf(std::uint16_t code) noexcept {
        std::size_t slot = 0;
        while (slot < kModifierReleaseOrder.size() && kModifierReleaseOrder[slot] != code)
            ++slot;
        return slot;
    }

    std::array<bool, kModifierReleaseOrder.size()> m_held{};
};

} // namespace kelvo
