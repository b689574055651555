#pragma once
// The two ways an image changes size. Both take and give 32-bit pixels
// (blue, green, red, alpha bytes) in rows of the source's own order, and
// treat the four channels alike.

#include <cstdint>
#include <vector>

namespace kelvo {

// Reduction by area averaging (new width < width and new height < height):
// each destination pixel is the plain average of the source pixels that the
// integer accumulators assign to it.
std::vector<std::uint32_t> AreaAverage(const std::uint32_t* source, std::int32_t width,
                                       std::int32_t height, std::int32_t new_width,
                                       std::int32_t new_height);

// Bilinear resampling in 8.8 fixed point, for enlarging or for a reduction
// in one direction only.
std::vector<std::uint32_t> Bilinear(const std::uint32_t* source, std::int32_t width,
                                    std::int32_t height, std::int32_t new_width,
                                    std::int32_t new_height);

} // namespace kelvo
