#pragma once
// Drawing helpers shared by the artwork painters: the palette, rounded shapes,
// gradients and pixel-grid snapping.

#include <cstdint>
#include <memory>

#include <cairo.h>

namespace kelvo::tools {

struct Rgb {
    double r, g, b;
};

// 0xRRGGBB
constexpr Rgb Hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// One palette for every image, so that the set looks like one family.
namespace palette {
inline constexpr Rgb kBlueLight = Hex(0x60A5FA);
inline constexpr Rgb kBlue = Hex(0x3B82F6);
inline constexpr Rgb kBlueDark = Hex(0x1D4ED8);
inline constexpr Rgb kIndigo = Hex(0x4338CA);
inline constexpr Rgb kGreenLight = Hex(0x4ADE80);
inline constexpr Rgb kGreen = Hex(0x16A34A);
inline constexpr Rgb kGreenDark = Hex(0x15803D);
inline constexpr Rgb kRedLight = Hex(0xF87171);
inline constexpr Rgb kRed = Hex(0xDC2626);
inline constexpr Rgb kRedDark = Hex(0xB91C1C);
inline constexpr Rgb kAmberLight = Hex(0xFCD34D);
inline constexpr Rgb kAmber = Hex(0xF59E0B);
inline constexpr Rgb kAmberDark = Hex(0xB45309);
inline constexpr Rgb kSlateLight = Hex(0x94A3B8);
inline constexpr Rgb kSlate = Hex(0x64748B);
inline constexpr Rgb kSlateDark = Hex(0x334155);
inline constexpr Rgb kPaper = Hex(0xFFFFFF);
inline constexpr Rgb kPaperShade = Hex(0xE2E8F0);
inline constexpr Rgb kInk = Hex(0x1E293B);
} // namespace palette

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const noexcept { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const noexcept { cairo_destroy(cr); }
};
struct PatternDeleter {
    void operator()(cairo_pattern_t* p) const noexcept { cairo_pattern_destroy(p); }
};
using UniqueSurface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using UniqueContext = std::unique_ptr<cairo_t, ContextDeleter>;
using UniquePattern = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);

// A rectangle path with round corners of radius r.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Fills the current path (and keeps it) with a vertical gradient from y0 to y1.
void FillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);

// Strokes the current path (and keeps it) with a vertical gradient.
void StrokeVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);

// A soft shadow under the current path: the path filled in black, offset
// downwards, at low alpha. Keeps the path.
void DropShadow(cairo_t* cr, double dy, double alpha);

} // namespace kelvo::tools
