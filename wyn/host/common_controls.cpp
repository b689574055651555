#include "wyn/host/common_controls.h"

#include <commctrl.h>

namespace kelvo {

void EnsureCommonControls(DWORD classes) noexcept {
    INITCOMMONCONTROLSEX controls{sizeof(controls), classes};
    ::InitCommonControlsEx(&controls);
}

LRESULT AnswerNotification(HWND control, LRESULT answer) noexcept {
    if (HWND dialog = ::GetParent(control))
        ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, answer);
    return answer;
}

} // namespace kelvo
