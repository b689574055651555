#include "tools/artwork_kit.h"

#include <numbers>

namespace kelvo::tools {

void SetColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kQuarter, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kQuarter);
    cairo_arc(cr, x + r, y + h - r, r, kQuarter, 2 * kQuarter);
    cairo_arc(cr, x + r, y + r, r, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cr);
}

namespace {
UniquePattern Vertical(double y0, double y1, Rgb top, Rgb bottom) {
    UniquePattern p{cairo_pattern_create_linear(0, y0, 0, y1)};
    cairo_pattern_add_color_stop_rgb(p.get(), 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p.get(), 1, bottom.r, bottom.g, bottom.b);
    return p;
}
} // namespace

void FillVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
    auto p = Vertical(y0, y1, top, bottom);
    cairo_set_source(cr, p.get());
    cairo_fill_preserve(cr);
}

void StrokeVertical(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
    auto p = Vertical(y0, y1, top, bottom);
    cairo_set_source(cr, p.get());
    cairo_stroke_preserve(cr);
}

void DropShadow(cairo_t* cr, double dy, double alpha) {
    // A path is kept in device space, so the shadow is a shifted copy of it.
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_translate(cr, 0, dy);
    cairo_append_path(cr, path);
    cairo_set_source_rgba(cr, 0, 0, 0, alpha);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}

} // namespace kelvo::tools
