#pragma once
// Saves what a window shows, frame included, to a PNG file.

#include <windows.h>

namespace kelvo {

// False when the window cannot be read or the file cannot be written.
bool CaptureWindowToPng(HWND window, const wchar_t* path);

} // namespace kelvo
