#include "wyn/elements/hotkey_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using kelvo::HotkeyAfterKeyDown;
using kelvo::HotkeyAfterKeyUp;

constexpr unsigned kShift = 0x10, kControl = 0x11, kMenu = 0x12;
constexpr unsigned kLeftShift = 0xA0, kRightControl = 0xA3, kLeftWin = 0x5B;
constexpr unsigned kF5 = 0x74, kA = 0x41, kLeft = 0x25;

struct Key {
    bool down;
    unsigned key;
    bool extended = false;
};

std::uint16_t Play(std::uint16_t value, const std::vector<Key>& keys) {
    for (const Key& k : keys)
        value =
            k.down ? HotkeyAfterKeyDown(value, k.key, k.extended) : HotkeyAfterKeyUp(value, k.key);
    return value;
}

TEST(HotkeyValue, KeySequencesBuildTheValue) {
    struct Case {
        const char* what;
        std::uint16_t start;
        std::vector<Key> keys;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {"Ctrl+Shift+F5, all released",
         0,
         {{true, kControl},
          {true, kShift},
          {true, kF5},
          {false, kF5},
          {false, kShift},
          {false, kControl}},
         0x0374},
        {"Ctrl then A", 0, {{true, kControl}, {true, kA}}, 0x0241},
        {"Alt pressed and released alone", 0, {{true, kMenu}, {false, kMenu}}, 0},
        {"Shift after a complete hotkey starts anew", 0x0374, {{true, kShift}}, 0x0100},
        {"left and right modifier codes count",
         0,
         {{true, kLeftShift}, {true, kRightControl}},
         0x0300},
        {"Win key", 0, {{true, kLeftWin}, {true, kA}}, 0x2041},
        {"an extended key carries the flag", 0x0200, {{true, kLeft, true}}, 0x0A25},
        {"a plain key drops an old extended flag", 0x0A25, {{true, kA}}, 0x0241},
        {"a key after a key keeps the modifiers", 0x0241, {{true, kF5}}, 0x0274},
        {"key code 0 changes nothing", 0x0241, {{true, 0}}, 0x0241},
        {"releasing one of two lone modifiers keeps the other",
         0,
         {{true, kControl}, {true, kMenu}, {false, kControl}},
         0x0400},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Play(c.start, c.keys), c.expected) << c.what;
}

} // namespace
