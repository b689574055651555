#pragma once
// Where the copies of a tiled picture go: stepping by the picture's size
// from the area's top-left, each copy cut at the area's right and bottom
// edges and, with a clip, to the clip.

#include <cstdint>
#include <functional>

#include "draw/pixel_rect.h"

namespace kelvo {

struct TileCopy {
    PixelRect dest;            // where the copy lands, already cut
    std::int32_t source_x = 0; // the copy's top-left in the picture,
    std::int32_t source_y = 0; // measured from the picture's top-left

    bool operator==(const TileCopy&) const = default;
};

// Calls `draw` for every copy that has pixels to draw, row by row. Copies
// that lie wholly outside the clip are skipped without being visited.
void ForEachTileCopy(std::int32_t image_width, std::int32_t image_height, const PixelRect& area,
                     const PixelRect* clip, const std::function<void(const TileCopy&)>& draw);

} // namespace kelvo
