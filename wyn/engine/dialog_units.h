#pragma once
// Dialog units to pixels: by the font of a dialog at its DPI, or by the
// dialog that holds a window.

#include <windows.h>

namespace kelvo {

// The pixels of 4 horizontal and 8 vertical dialog units: the average width
// of the font's letters and the font's height.
struct DialogBaseUnits {
    int cx = 0;
    int cy = 0;
};

// The base units of `font` as the system's dialogs measure them; zeros when
// the font cannot be measured.
DialogBaseUnits MeasureBaseUnits(HFONT font) noexcept;

// Converts each coordinate of `units` independently with `base`.
RECT DialogUnitsToPixels(const DialogBaseUnits& base, RECT units) noexcept;

// Converts each coordinate of `units` independently with the nearest dialog
// among `window` and its ancestors. Without such a dialog nothing can be
// converted and the values come back as they are. The answer is fixed when
// the dialog is made: it does not follow a change of DPI.
RECT DialogUnitsToPixels(HWND window, RECT units) noexcept;

} // namespace kelvo
