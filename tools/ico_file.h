#pragma once
// Builds a Windows icon file (.ico) from square 32-bit images.

#include <cstdint>
#include <vector>

#include <cairo.h>

namespace kelvo::tools {

// Each surface must be a square ARGB32 image of 1 to 256 pixels. Images below
// 256 pixels are stored as 32-bit bitmaps with an AND mask, which every
// version of Windows reads; the 256-pixel image is stored as PNG.
std::vector<std::uint8_t> BuildIcoFile(const std::vector<cairo_surface_t*>& images);

} // namespace kelvo::tools
