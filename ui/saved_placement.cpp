#include "ui/saved_placement.h"

#include <algorithm>
#include <utility>

#include "library/xml_props.h"

namespace {

// Stands for a position that was never stored.
constexpr int kAbsent = 0x55AA55AA;

WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(window, &placement);
    return placement;
}

// Some of the rectangle (workspace coordinates) is in a monitor's work area.
bool OnAMonitor(const RECT& rect) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return true;
    const RECT screen = WorkspaceToScreen(rect, monitor.rcWork, monitor.rcMonitor);
    RECT seen{};
    return ::IntersectRect(&seen, &screen, &monitor.rcWork) != FALSE;
}

} // namespace

RECT WorkspaceToScreen(const RECT& rect, const RECT& work, const RECT& monitor) {
    RECT screen = rect;
    ::OffsetRect(&screen, work.left - monitor.left, work.top - monitor.top);
    return screen;
}

SavedPlacement ReadPlacement(CXMLProps& xml) {
    SavedPlacement saved;
    const int left = xml.GetIntAttr(L"left", kAbsent);
    const int top = xml.GetIntAttr(L"top", kAbsent);
    const int width = xml.GetIntAttr(L"width", 0);
    const int height = xml.GetIntAttr(L"height", 0);
    if (left != kAbsent && top != kAbsent)
        saved.position = POINT{left, top};
    if (width > 0 && height > 0)
        saved.size = SIZE{width, height};
    return saved;
}

void WritePlacement(CXMLProps& xml, HWND window) {
    const RECT normal = PlacementOf(window).rcNormalPosition;
    xml.SetIntAttr(L"left", normal.left);
    xml.SetIntAttr(L"top", normal.top);
    xml.SetIntAttr(L"width", normal.right - normal.left);
    xml.SetIntAttr(L"height", normal.bottom - normal.top);
}

void ApplyPlacement(HWND window, const SavedPlacement& saved, int grow) {
    WINDOWPLACEMENT placement = PlacementOf(window);
    RECT& normal = placement.rcNormalPosition;
    const SIZE size = saved.size.value_or(
        SIZE{normal.right - normal.left + grow, normal.bottom - normal.top + grow});
    if (saved.position) {
        const RECT at{saved.position->x, saved.position->y, saved.position->x + size.cx,
                      saved.position->y + size.cy};
        if (OnAMonitor(at))
            ::OffsetRect(&normal, at.left - normal.left, at.top - normal.top);
    }
    normal.right = normal.left + size.cx;
    normal.bottom = normal.top + size.cy;
    placement.showCmd = SW_SHOWNORMAL;
    ::SetWindowPlacement(window, &placement);
}

void GrowAboutCentre(HWND window, SIZE gain) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    // One axis at a time: its start, its size, the work area's start and size.
    const auto grown = [](LONG start, LONG size, LONG gain, LONG room_start, LONG room) {
        const LONG new_size = std::min(size + std::max(gain, 0L), room);
        const LONG new_start =
            std::clamp(start - (new_size - size) / 2, room_start, room_start + room - new_size);
        return std::pair{new_start, new_size};
    };
    const auto [left, width] =
        grown(rect.left, rect.right - rect.left, gain.cx, work.left, work.right - work.left);
    const auto [top, height] =
        grown(rect.top, rect.bottom - rect.top, gain.cy, work.top, work.bottom - work.top);
    ::SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
