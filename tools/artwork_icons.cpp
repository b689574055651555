#include "tools/artwork_icons.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "tools/artwork_kit.h"

namespace kelvo::tools {

using namespace palette;

namespace {

constexpr double kPi = std::numbers::pi;

void Polygon(cairo_t* cr, std::initializer_list<std::pair<double, double>> points) {
    cairo_new_sub_path(cr);
    for (auto [x, y] : points)
        cairo_line_to(cr, x, y);
    cairo_close_path(cr);
}

// Outlines the current path with a 1-pixel line of `edge` outside and the
// vertical gradient inside: a 2-pixel stroke first, the fill over its inner
// half, so that overlapping sub-paths show no seams.
void FillOutlined(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom, Rgb edge) {
    cairo_set_line_width(cr, 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, edge);
    cairo_stroke_preserve(cr);
    FillVertical(cr, y0, y1, top, bottom);
    cairo_new_path(cr);
}

// A luggage tag pointing left, its hole near the point, filling the box
// (left, top)-(right, bottom) with its outline on pixel centres.
void TagShape(cairo_t* cr, double left, double top, double right, double bottom, Rgb light,
              Rgb dark, Rgb edge) {
    double mid = (top + bottom) / 2;
    double neck = left + (bottom - top) / 2;
    cairo_new_sub_path(cr);
    cairo_move_to(cr, left, mid);
    cairo_line_to(cr, neck, top);
    cairo_arc(cr, right - 1.5, top + 1.5, 1.5, -kPi / 2, 0);
    cairo_arc(cr, right - 1.5, bottom - 1.5, 1.5, 0, kPi / 2);
    cairo_line_to(cr, neck, bottom);
    cairo_close_path(cr);
    cairo_set_line_width(cr, 1);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    FillVertical(cr, top, bottom, light, dark);
    SetColour(cr, edge);
    cairo_stroke(cr);

    // The hole shows what lies under the tag.
    double hx = neck - 0.5, r = 1.25;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_arc(cr, hx, mid, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_arc(cr, hx, mid, r + 0.5, 0, 2 * kPi);
    SetColour(cr, edge, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A sheet of paper with a folded corner and lines of text; `short_lines`
// leaves room at the bottom right for a badge.
void ChunkCard(cairo_t* cr, bool short_lines) {
    Polygon(cr, {{5.5, 3.5}, {19.5, 3.5}, {24.5, 8.5}, {24.5, 28.5}, {5.5, 28.5}});
    DropShadow(cr, 1, 0.12);
    FillVertical(cr, 3, 29, kPaper, Hex(0xF1F5F9));
    SetColour(cr, kSlateLight);
    cairo_set_line_width(cr, 1);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);

    Polygon(cr, {{19.5, 3.5}, {19.5, 8.5}, {24.5, 8.5}});
    SetColour(cr, kPaperShade);
    cairo_fill_preserve(cr);
    SetColour(cr, kSlateLight);
    cairo_stroke(cr);

    SetColour(cr, kBlue);
    cairo_rectangle(cr, 9, 8, 8, 2);
    cairo_fill(cr);
    SetColour(cr, Hex(0xCBD5E1));
    cairo_rectangle(cr, 9, 13, 12, 2);
    cairo_rectangle(cr, 9, 17, short_lines ? 6 : 12, 2);
    cairo_rectangle(cr, 9, 21, short_lines ? 5 : 9, 2);
    cairo_fill(cr);
}

// A round badge at the bottom right of a 32-pixel image, with a white ring
// that parts it from what lies beneath.
void Badge(cairo_t* cr, Rgb light, Rgb dark) {
    cairo_arc(cr, 23, 23, 8.5, 0, 2 * kPi);
    SetColour(cr, kPaper);
    cairo_fill(cr);
    cairo_arc(cr, 23, 23, 7.5, 0, 2 * kPi);
    FillVertical(cr, 15.5, 30.5, light, dark);
    cairo_new_path(cr);
}

} // namespace

void PaintAppMark(cairo_t* cr, int width, int) {
    // The glyph lies on a grid of 16 units; each grid line is rounded to a
    // whole pixel, so every edge falls on a pixel boundary at any size (at
    // multiples of 16 the units are whole pixels already).
    const double u = width / 16.0;
    auto at = [u](double units) { return std::round(units * u); };
    const bool small = width < 32;
    const double pad = small ? 0 : std::round(width / 32.0);
    const double side = width - 2 * pad;

    RoundedRect(cr, pad, pad, side, side, small ? 3 : side * 0.2);
    if (!small)
        DropShadow(cr, u / 4, 0.18);
    FillVertical(cr, pad, pad + side, Hex(0x4F8EF7), kIndigo);
    cairo_new_path(cr);
    if (!small) {
        // A faint light rim along the top edge gives the tile some depth.
        double lw = std::max(1.0, u / 4);
        RoundedRect(cr, pad + lw / 2, pad + lw / 2, side - lw, side - lw, side * 0.2 - lw / 2);
        cairo_pattern_t* rim = cairo_pattern_create_linear(0, pad, 0, pad + side);
        cairo_pattern_add_color_stop_rgba(rim, 0, 1, 1, 1, 0.35);
        cairo_pattern_add_color_stop_rgba(rim, 0.5, 1, 1, 1, 0);
        cairo_set_source(cr, rim);
        cairo_set_line_width(cr, lw);
        cairo_stroke(cr);
        cairo_pattern_destroy(rim);
    }

    auto glyph = [&] {
        Polygon(cr, {{at(3), at(3)},
                     {at(5), at(3)},
                     {at(5), at(4)},
                     {at(4), at(4)},
                     {at(4), at(11)},
                     {at(5), at(11)},
                     {at(5), at(12)},
                     {at(3), at(12)}});
        Polygon(cr, {{at(13), at(3)},
                     {at(11), at(3)},
                     {at(11), at(4)},
                     {at(12), at(4)},
                     {at(12), at(11)},
                     {at(11), at(11)},
                     {at(11), at(12)},
                     {at(13), at(12)}});
        for (const auto& [y, length] : {std::pair{5, 4}, {7, 4}, {9, 3}})
            cairo_rectangle(cr, at(6), at(y), at(6 + length) - at(6), at(y + 1) - at(y));
    };
    if (!small) {
        cairo_save(cr);
        cairo_translate(cr, 0, u / 4);
        glyph();
        cairo_set_source_rgba(cr, 0.05, 0.05, 0.3, 0.25);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    glyph();
    SetColour(cr, kPaper);
    cairo_fill(cr);
}

void PaintTag(cairo_t* cr, int, int) {
    TagShape(cr, 1, 4.5, 14.5, 11.5, kAmberLight, kAmber, kAmberDark);
}

void PaintAllTags(cairo_t* cr, int, int) {
    TagShape(cr, 3, 1.5, 14.5, 7.5, kGreenLight, kGreen, kGreenDark);
    TagShape(cr, 1, 7.5, 13.5, 14.5, kAmberLight, kAmber, kAmberDark);
}

void PaintPadlock(cairo_t* cr, int, int) {
    // Shackle first, so that the body covers its ends.
    cairo_move_to(cr, 7.5, 11);
    cairo_arc(cr, 12, 8, 4.5, kPi, 2 * kPi);
    cairo_line_to(cr, 16.5, 11);
    cairo_set_line_width(cr, 3);
    StrokeVertical(cr, 2, 11, kSlateDark, kSlate);
    cairo_new_path(cr);
    cairo_move_to(cr, 7.5, 11);
    cairo_arc(cr, 12, 8, 4.5, kPi, 2 * kPi);
    cairo_line_to(cr, 16.5, 11);
    cairo_set_line_width(cr, 1);
    SetColour(cr, kSlateLight);
    cairo_stroke(cr);

    RoundedRect(cr, 4.5, 10.5, 15, 11, 2);
    FillVertical(cr, 10, 22, kAmberLight, kAmber);
    SetColour(cr, kAmberDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    SetColour(cr, Hex(0x78350F));
    cairo_arc(cr, 12, 15, 1.75, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_rectangle(cr, 11.25, 15, 1.5, 3.5);
    cairo_fill(cr);
}

void PaintAddChunk(cairo_t* cr, int, int) {
    ChunkCard(cr, true);
    Badge(cr, kGreenLight, kGreen);
    SetColour(cr, kPaper);
    cairo_rectangle(cr, 19, 22, 8, 2);
    cairo_rectangle(cr, 22, 19, 2, 8);
    cairo_fill(cr);
}

void PaintDeleteChunk(cairo_t* cr, int, int) {
    ChunkCard(cr, true);
    Badge(cr, kRedLight, kRed);
    SetColour(cr, kPaper);
    cairo_set_line_width(cr, 2.25);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 20, 20);
    cairo_line_to(cr, 26, 26);
    cairo_move_to(cr, 26, 20);
    cairo_line_to(cr, 20, 26);
    cairo_stroke(cr);
}

void PaintEditChunk(cairo_t* cr, int, int) {
    ChunkCard(cr, true);
    // A pencil from its point at the bottom left up to the top right,
    // drawn along the x axis and turned into place.
    cairo_save(cr);
    cairo_translate(cr, 13, 28);
    cairo_rotate(cr, -kPi / 4);
    const double h = 2.75;
    auto part = [&](double x0, double x1, Rgb light, Rgb dark) {
        cairo_rectangle(cr, x0, -h, x1 - x0, 2 * h);
        FillVertical(cr, -h, h, light, dark);
        cairo_new_path(cr);
    };
    Polygon(cr, {{0, 0}, {6, -h}, {6, h}});
    SetColour(cr, Hex(0xFDE7C4));
    cairo_fill(cr);
    Polygon(cr, {{0, 0}, {2.2, -h * 2.2 / 6}, {2.2, h * 2.2 / 6}});
    SetColour(cr, kInk);
    cairo_fill(cr);
    part(6, 19, kAmberLight, kAmber);
    part(19, 21.5, Hex(0xE2E8F0), kSlateLight);
    RoundedRect(cr, 21.5, -h, 3.5, 2 * h, 1);
    FillVertical(cr, -h, h, Hex(0xFDA4AF), Hex(0xF43F5E));
    cairo_new_path(cr);
    // One outline around the whole pencil.
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 6, -h);
    cairo_line_to(cr, 24, -h);
    cairo_arc(cr, 24, -h + 1, 1, -kPi / 2, 0);
    cairo_arc(cr, 24, h - 1, 1, 0, kPi / 2);
    cairo_line_to(cr, 6, h);
    cairo_close_path(cr);
    cairo_set_line_width(cr, 0.9);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, Hex(0x92400E));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void PaintSettings(cairo_t* cr, int, int) {
    const double cx = 16, cy = 16, tip = 14, root = 10.5, hole = 4.5;
    const int teeth = 8;
    const double step = 2 * kPi / teeth, tip_half = 0.17, root_half = 0.27;
    cairo_new_sub_path(cr);
    for (int i = 0; i < teeth; ++i) {
        double a = i * step - kPi / 2;
        cairo_arc(cr, cx, cy, root, a - step + root_half, a - root_half);
        cairo_line_to(cr, cx + tip * std::cos(a - tip_half), cy + tip * std::sin(a - tip_half));
        cairo_arc(cr, cx, cy, tip, a - tip_half, a + tip_half);
        cairo_line_to(cr, cx + root * std::cos(a + root_half), cy + root * std::sin(a + root_half));
    }
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, hole, 2 * kPi, 0);
    cairo_close_path(cr);
    DropShadow(cr, 1, 0.15);
    cairo_set_line_width(cr, 1);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    FillVertical(cr, 2, 30, kSlateLight, kSlate);
    SetColour(cr, kSlateDark);
    cairo_stroke(cr);

    // A raised hub around the hole.
    cairo_arc(cr, cx, cy, 7.5, 0, 2 * kPi);
    cairo_arc_negative(cr, cx, cy, hole, 2 * kPi, 0);
    FillVertical(cr, 8, 24, kSlate, Hex(0xA3B1C4));
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, hole, 0, 2 * kPi);
    SetColour(cr, kSlateDark);
    cairo_stroke(cr);
}

void PaintPaste(cairo_t* cr, int, int) {
    RoundedRect(cr, 5.5, 4.5, 21, 25, 2.5);
    DropShadow(cr, 1, 0.15);
    FillVertical(cr, 4, 30, kBlueLight, kBlueDark);
    SetColour(cr, Hex(0x1E3A8A));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    cairo_rectangle(cr, 8.5, 8.5, 15, 18);
    FillVertical(cr, 8, 27, kPaper, Hex(0xF1F5F9));
    SetColour(cr, Hex(0x1E3A8A), 0.5);
    cairo_stroke(cr);
    SetColour(cr, Hex(0xCBD5E1));
    cairo_rectangle(cr, 11, 12, 10, 2);
    cairo_rectangle(cr, 11, 16, 10, 2);
    cairo_rectangle(cr, 11, 20, 7, 2);
    cairo_fill(cr);

    RoundedRect(cr, 11.5, 2.5, 9, 5, 1.5);
    FillVertical(cr, 2, 8, Hex(0xE2E8F0), kSlateLight);
    SetColour(cr, kSlateDark);
    cairo_stroke(cr);
    cairo_rectangle(cr, 14, 4, 4, 1);
    SetColour(cr, kSlateDark);
    cairo_fill(cr);
}

void PaintClearMark(cairo_t* cr, int width, int) {
    const double s = width, c = s / 2, r = s / 2 - 1;
    cairo_arc(cr, c, c, r, 0, 2 * kPi);
    FillVertical(cr, 1, s - 1, kSlateLight, kSlate);
    cairo_new_path(cr);
    // Arms of the cross end on pixel corners at every size.
    const double k = std::round(s * 0.19);
    cairo_set_line_width(cr, s <= 16 ? 1.75 : s / 9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, c - k, c - k);
    cairo_line_to(cr, c + k, c + k);
    cairo_move_to(cr, c + k, c - k);
    cairo_line_to(cr, c - k, c + k);
    SetColour(cr, kPaper);
    cairo_stroke(cr);
}

void PaintClearBackground(cairo_t* cr, int width, int height) {
    const double side = width, frame = height / 3.0;
    struct Look {
        Rgb top, bottom, edge;
    };
    // Normal leaves the field's own background; hover and pressed light it.
    const Look hover{Hex(0xEFF6FF), Hex(0xDBEAFE), kBlueLight};
    const Look pressed{Hex(0xBFDBFE), Hex(0xDBEAFE), Hex(0x2563EB)};
    const Look* looks[] = {nullptr, &hover, &pressed};
    for (int i = 0; i < 3; ++i) {
        if (!looks[i])
            continue;
        double y = i * frame;
        // The corner arcs stay inside the 3-pixel margins, so the edges
        // stretch without changing their look.
        RoundedRect(cr, 1.5, y + 1.5, side - 3, frame - 3, 1.5);
        FillVertical(cr, y + 1, y + frame - 1, looks[i]->top, looks[i]->bottom);
        SetColour(cr, looks[i]->edge);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void PaintError(cairo_t* cr, int, int) {
    cairo_arc(cr, 24, 24, 20.5, 0, 2 * kPi);
    DropShadow(cr, 1.5, 0.18);
    FillVertical(cr, 3, 45, kRedLight, kRed);
    SetColour(cr, kRedDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 17, 17);
    cairo_line_to(cr, 31, 31);
    cairo_move_to(cr, 31, 17);
    cairo_line_to(cr, 17, 31);
    SetColour(cr, kPaper);
    cairo_stroke(cr);
}

void PaintKey(cairo_t* cr, int, int) {
    // Drawn lying along the x axis from the bow's centre, then turned 45
    // degrees so that the bow sits at the top left.
    cairo_save(cr);
    cairo_translate(cr, 15, 15);
    cairo_rotate(cr, kPi / 4);
    cairo_arc(cr, 0, 0, 10.5, 0, 2 * kPi);
    cairo_close_path(cr);
    cairo_rectangle(cr, 8, -3, 26, 6);
    cairo_rectangle(cr, 22, 2, 4, 6);
    cairo_rectangle(cr, 29, 2, 5, 5);
    cairo_restore(cr);
    DropShadow(cr, 1.5, 0.18);
    FillOutlined(cr, 4, 44, kAmberLight, kAmber, kAmberDark);

    // The hole in the bow.
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_arc(cr, 11.5, 11.5, 3.5, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_arc(cr, 11.5, 11.5, 4, 0, 2 * kPi);
    SetColour(cr, kAmberDark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // A light groove along the blade.
    cairo_save(cr);
    cairo_translate(cr, 15, 15);
    cairo_rotate(cr, kPi / 4);
    cairo_move_to(cr, 12, 0);
    cairo_line_to(cr, 31, 0);
    cairo_restore(cr);
    SetColour(cr, kAmberDark, 0.6);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

} // namespace kelvo::tools
