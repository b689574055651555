#pragma once
// Where the dialog engine puts its windows on the screen: a dialog's first
// position, the smallest size a resizable dialog can be dragged to, and the
// position of a context-help tip beside its control. Pure calculations on
// screen rectangles (left, top, right, bottom; right and bottom exclusive).

#include <optional>

namespace kelvo {

struct ScreenPoint {
    int x = 0;
    int y = 0;

    bool operator==(const ScreenPoint&) const = default;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const ScreenRect&) const = default;
};

// The top-left corner of a dialog of `size` in the work area. Centred when
// asked; otherwise at the owner's top-left corner (the work area's when there
// is no owner), moved left or up so as not to pass the work area's right or
// bottom edge, then right or down so as not to start outside it.
ScreenPoint PlaceDialog(const ScreenRect& work, ScreenSize size, bool centre,
                        std::optional<ScreenPoint> owner_top_left);

// The edge being dragged, numbered as the platform's sizing message does.
enum class SizingEdge : int {
    kLeft = 1,
    kRight = 2,
    kTop = 3,
    kTopLeft = 4,
    kTopRight = 5,
    kBottom = 6,
    kBottomLeft = 7,
    kBottomRight = 8,
};

// Keeps a proposed window rectangle at least `minimum` large by moving the
// dragged edge back; the opposite edge stays where it is.
void LimitSizing(ScreenRect& proposed, SizingEdge edge, ScreenSize minimum);

// The top-left corner of a tip of `size` for the control at `control`: above
// it, or below it when above would leave the work area; at its left edge,
// shifted left to end 5 pixels inside the work area when it would pass the
// right edge, and never starting less than 5 pixels inside the left edge.
ScreenPoint PlaceTip(const ScreenRect& work, const ScreenRect& control, ScreenSize size);

} // namespace kelvo
