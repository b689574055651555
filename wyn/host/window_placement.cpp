#include "wyn/host/window_placement.h"

namespace kelvo {

ScreenPoint PlaceDialog(const ScreenRect& work, ScreenSize size, bool centre,
                        std::optional<ScreenPoint> owner_top_left) {
    if (centre) {
        return {work.left + (work.right - work.left) / 2 - size.width / 2,
                work.top + (work.bottom - work.top) / 2 - size.height / 2};
    }
    ScreenPoint at = owner_top_left.value_or(ScreenPoint{work.left, work.top});
    if (at.x + size.width > work.right)
        at.x = work.right - size.width;
    if (at.y + size.height > work.bottom)
        at.y = work.bottom - size.height;
    if (at.x < work.left)
        at.x = work.left;
    if (at.y < work.top)
        at.y = work.top;
    return at;
}

void LimitSizing(ScreenRect& proposed, SizingEdge edge, ScreenSize minimum) {
    if (proposed.right - proposed.left < minimum.width) {
        if (edge == SizingEdge::kLeft || edge == SizingEdge::kTopLeft ||
            edge == SizingEdge::kBottomLeft)
            proposed.left = proposed.right - minimum.width;
        else
            proposed.right = proposed.left + minimum.width;
    }
    if (proposed.bottom - proposed.top < minimum.height) {
        if (edge == SizingEdge::kTop || edge == SizingEdge::kTopLeft ||
            edge == SizingEdge::kTopRight)
            proposed.top = proposed.bottom - minimum.height;
        else
            proposed.bottom = proposed.top + minimum.height;
    }
}

ScreenPoint PlaceTip(const ScreenRect& work, const ScreenRect& control, ScreenSize size) {
    ScreenPoint at{control.left, control.top - size.height - 5};
    if (at.x + size.width > work.right)
        at.x = work.right - size.width - 5;
    if (at.x < work.left)
        at.x = work.left + 5;
    if (at.y < work.top)
        at.y = control.bottom + 5;
    return at;
}

} // namespace kelvo
