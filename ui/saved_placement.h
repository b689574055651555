#pragma once
// A window's place kept in settings.xml between openings: "left", "top",
// "width" and "height" of its normal rectangle, which the system gives in
// workspace coordinates. It is put back as a placement, in the same
// coordinates: put back as a screen position it would move the window by the
// taskbar's size at every opening.

#include <windows.h>

#include <optional>

class CXMLProps;

struct SavedPlacement {
    std::optional<POINT> position; // both "left" and "top" present
    std::optional<SIZE> size;      // both "width" and "height" above 0
};

// From the current element; what is missing or unreadable stays empty.
SavedPlacement ReadPlacement(CXMLProps& xml);
// The window's normal rectangle into the current element.
void WritePlacement(CXMLProps& xml, HWND window);
// Moves and sizes the window's normal rectangle to what was saved; without a
// saved size it keeps its own, grown by `grow` pixels each way. A saved place
// on no monitor now (one since unplugged) is not taken: the window keeps its
// own place, where the user sees it.
void ApplyPlacement(HWND window, const SavedPlacement& saved, int grow = 0);
// Larger by `gain` pixels each way about the same centre, as far as the
// monitor's work area allows, and inside it.
void GrowAboutCentre(HWND window, SIZE gain);

// A rectangle in workspace coordinates in screen coordinates, on the monitor
// with that work area and whole rectangle: workspace coordinates count from
// the corner of the work area (below a taskbar at the top, right of one at
// the left).
RECT WorkspaceToScreen(const RECT& rect, const RECT& work, const RECT& monitor);
