#include "wyn/engine/dialog_units.h"

namespace kelvo {

RECT DialogUnitsToPixels(HWND window, RECT units) noexcept {
    // MapDialogRect refuses windows that are not dialogs, such as a control
    // that asks on behalf of its own values.
    for (HWND w = window; w; w = ::GetParent(w)) {
        RECT pixels = units;
        if (::MapDialogRect(w, &pixels))
            return pixels;
    }
    return units;
}

} // namespace kelvo
