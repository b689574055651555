#pragma once
// Pixel helpers for the image tests.

#include <cstdint>

#include "draw/vt_dib.h"

namespace kelvo::testing {

constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The pixel at column x of row y counted from the top of the picture.
inline std::uint32_t At(const CVtDIB& image, int x, int y) {
    return image.Pixels()[static_cast<std::size_t>(image.Height() - 1 - y) * image.Width() + x];
}

} // namespace kelvo::testing
