#pragma once
// The program's icon, for the tray and the windows it shows.

#include "base/win_handles.h"

namespace kelvo {

// Its resource in the executable.
constexpr int kProgramIconResource = 101;

// The icon at `side` pixels, from the frame that fits best.
UniqueHicon ProgramIcon(int side);

} // namespace kelvo
