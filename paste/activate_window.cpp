#include "paste/activate_window.h"

namespace kelvo {

bool ActivateWindow(HWND window) {
    if (!::IsWindow(window))
        return false;
    // Already in front: joining its input now could take keys it has not
    // read yet (the Enter key-up just sent) out of its queue.
    if (::GetForegroundWindow() == window && !::IsIconic(window))
        return true;
    const DWORD target_thread = ::GetWindowThreadProcessId(window, nullptr);
    const DWORD this_thread = ::GetCurrentThreadId();
    const bool attached =
        target_thread != this_thread && ::AttachThreadInput(target_thread, this_thread, TRUE);
    ::SetForegroundWindow(window);
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    if (attached)
        ::AttachThreadInput(target_thread, this_thread, FALSE);
    if (::GetForegroundWindow() != window)
        ::SetForegroundWindow(window);
    return ::GetForegroundWindow() == window;
}

} // namespace kelvo
