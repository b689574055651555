#pragma once
// Plays a chunk's text as a script: literal characters become text runs, key
// tokens key presses, modifier tokens latched modifier keys, and pause
// commands waits.

#include <string_view>

#include "paste/held_modifiers.h"
#include "paste/script_output.h"

namespace kelvo {

// The longest wait one pause command asks for.
inline constexpr std::uint32_t kMaxPauseMilliseconds = 2000;

// Resets `held`, plays `script` into `output` and returns with no modifier
// held. The script ends at its first NUL character, as a zero-terminated text would.
void PlayScript(std::u16string_view script, CHeldModifiers& held, CScriptOutput& output);

} // namespace kelvo
