#pragma once
// Bringing a window of another program to the foreground for a paste.

#include <windows.h>

namespace kelvo {

// Joins this thread's input to the window's thread around SetForegroundWindow
// and the restore of a minimised window, then, when the window is still not
// in front, sets it once more without joining (Wine's joined
// SetForegroundWindow may report success and leave no foreground window; on
// Windows the second call does nothing). Nothing happens when `window` is
// not a window, and nothing is done to a window already in front. True
// when it is the foreground window afterwards.
bool ActivateWindow(HWND window);

} // namespace kelvo
