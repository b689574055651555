#include "draw/tile_layout.h"

#include <algorithm>

namespace kelvo {

namespace {

// The first step origin from `start` in steps of `step` whose copy reaches
// past `edge`.
std::int64_t FirstStepReaching(std::int64_t start, std::int64_t step, std::int64_t edge) {
    if (edge <= start)
        return start;
    return start + (edge - start) / step * step;
}

} // namespace

void ForEachTileCopy(std::int32_t image_width, std::int32_t image_height, const PixelRect& area,
                     const PixelRect* clip, const std::function<void(const TileCopy&)>& draw) {
    if (image_width < 1 || image_height < 1 || area.IsEmpty())
        return;
    const PixelRect visible = clip ? Intersect(area, *clip) : area;
    if (visible.IsEmpty())
        return;
    // 64-bit steps: an origin may pass the largest 32-bit coordinate.
    const std::int64_t first_x = FirstStepReaching(area.left, image_width, visible.left);
    const std::int64_t first_y = FirstStepReaching(area.top, image_height, visible.top);
    for (std::int64_t y = first_y; y < visible.bottom; y += image_height) {
        for (std::int64_t x = first_x; x < visible.right; x += image_width) {
            PixelRect copy{
                static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                static_cast<std::int32_t>(std::min<std::int64_t>(x + image_width, area.right)),
                static_cast<std::int32_t>(std::min<std::int64_t>(y + image_height, area.bottom))};
            PixelRect dest = Intersect(copy, visible);
            if (dest.IsEmpty())
                continue;
            draw({dest, static_cast<std::int32_t>(dest.left - x),
                  static_cast<std::int32_t>(dest.top - y)});
        }
    }
}

} // namespace kelvo
