#pragma once
// The paste target: the window a paste goes into, kept on the last foreground
// window that does not belong to this program.

#include <windows.h>

#include <string>
#include <vector>

namespace kelvo {

struct TargetWindow {
    HWND window = nullptr; // may be null or stale
    std::wstring title;    // as last read, at most 255 characters
    HICON icon = nullptr;  // not owned: never destroyed by the program

    bool operator==(const TargetWindow&) const = default;
};

// A window of this program, of whatever thread.
bool IsOwnWindow(HWND window);

// A window that may become the target when the last one closed: one the
// user may switch to (below), not the tray window nor any other of this
// program.
bool IsCandidateTarget(HWND window, HWND tray);

// The foreground window, unless it is the main window or a window it owns,
// the tray window or a window it owns, another window of this program, a
// tool window, a part of the shell, a window without an area or a cloaked
// one; null then.
HWND ForegroundCandidate(HWND tray, HWND main_window);

// The window's title, read with a limit of 256 characters.
std::wstring WindowTitle(HWND window);

// Its big icon, else its class icon, else those of its owner, up the owner
// chain; null when none has one. A program that does not answer within
// 100 ms counts as having no icon, so a hung program cannot block ours.
HICON WindowIcon(HWND window);

// The target a window makes: its handle, title and icon.
TargetWindow DescribeTarget(HWND window);

// The windows the user may choose to paste into, in the system's z-order:
// those the user may switch to, not `main_window`. A window one may switch
// to is visible, not cloaked, larger than nothing, neither child nor owned,
// no tool window, and not a part of the shell (the desktop, a taskbar).
std::vector<TargetWindow> ChoosableWindows(HWND main_window);

// One tick of the tracking: takes the foreground candidate with its title;
// when the target is gone, the nearest candidate in the z-order above the
// main window (the tray window without one), else below it. True when
// anything of the target changed, and then its icon is fetched afresh.
bool TrackPasteTarget(TargetWindow& target, HWND tray, HWND main_window);

} // namespace kelvo
