#include "wyn/common_controls.h"

#include <commctrl.h>

namespace kelvo {

void EnsureCommonControls(DWORD classes) noexcept {
    INITCOMMONCONTROLSEX controls{sizeof(controls), classes};
    ::InitCommonControlsEx(&controls);
}

} // namespace kelvo
