#pragma once
// Dialog units to pixels by the font of the dialog that holds a window.

#include <windows.h>

namespace kelvo {

// Converts each coordinate of `units` independently with the nearest dialog
// among `window` and its ancestors. Without such a dialog nothing can be
// converted and the values come back as they are.
RECT DialogUnitsToPixels(HWND window, RECT units) noexcept;

} // namespace kelvo
