#include "draw/vt_skin_dib.h"

#include <algorithm>
#include <limits>

namespace kelvo {

namespace {

// a - margin (or a + margin) held to the 32-bit range: margins are unsigned
// 32-bit values and may exceed any coordinate.
std::int32_t Offset(std::int32_t a, std::int64_t delta) {
    std::int64_t v = std::int64_t{a} + delta;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void CVtSkinDIB::Slice(const CVtDIB& source, const SkinMargins& margins, bool tile_horizontal,
                       bool tile_vertical) {
    m_margins = margins;
    m_tileHorizontal = tile_horizontal;
    m_tileVertical = tile_vertical;
    for (CVtDIB& part : m_parts)
        part.Clear();

    const std::int32_t w = source.Width(), h = source.Height();
    const std::int32_t l = Offset(0, margins.left), t = Offset(0, margins.top);
    const std::int32_t r = Offset(w, -std::int64_t{margins.right});
    const std::int32_t b = Offset(h, -std::int64_t{margins.bottom});
    const bool has_l = margins.left != 0, has_r = margins.right != 0;
    const bool has_t = margins.top != 0, has_b = margins.bottom != 0;
    auto cut = [&](SkinPart part, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                   std::int32_t y1) {
        source.Crop(x0, y0, x1, y1, m_parts[static_cast<std::size_t>(part)]);
    };
    if (has_l && has_t)
        cut(SkinPart::kTopLeft, 0, 0, l, t);
    if (has_l)
        cut(SkinPart::kLeft, 0, t, l, b);
    if (has_l && has_b)
        cut(SkinPart::kBottomLeft, 0, b, l, h);
    if (has_r && has_t)
        cut(SkinPart::kTopRight, r, 0, w, t);
    if (has_r)
        cut(SkinPart::kRight, r, t, w, b);
    if (has_r && has_b)
        cut(SkinPart::kBottomRight, r, b, w, h);
    if (has_t)
        cut(SkinPart::kTop, l, 0, r, t);
    if (has_b)
        cut(SkinPart::kBottom, l, b, r, h);
    cut(SkinPart::kCentre, l, t, r, b);
}

std::vector<SkinStep> CVtSkinDIB::Layout(const PixelRect& rect, const PixelRect* clip) const {
    const std::int32_t x0 = rect.left, y0 = rect.top, x1 = rect.right, y1 = rect.bottom;
    const std::int32_t xl = Offset(x0, m_margins.left),
                       xr = Offset(x1, -std::int64_t{m_margins.right});
    const std::int32_t yt = Offset(y0, m_margins.top),
                       yb = Offset(y1, -std::int64_t{m_margins.bottom});

    std::vector<SkinStep> steps;
    auto add = [&](SkinPart part, PixelRect area, SkinStep::Mode mode, std::int32_t tile_w = 0,
                   std::int32_t tile_h = 0) {
        if (Part(part).IsEmpty() || area.IsEmpty() || (clip && !Meets(area, *clip)))
            return;
        steps.push_back({part, area, mode, tile_w, tile_h});
    };
    auto corner = [&](SkinPart part, std::int32_t x, std::int32_t y) {
        const CVtDIB& image = Part(part);
        add(part, {x, y, Offset(x, image.Width()), Offset(y, image.Height())},
            SkinStep::Mode::kNatural);
    };
    using Mode = SkinStep::Mode;
    const Mode side_mode = m_tileVertical ? Mode::kTile : Mode::kStretch;
    const Mode cap_mode = m_tileHorizontal ? Mode::kTile : Mode::kStretch;

    corner(SkinPart::kTopLeft, x0, y0);
    corner(SkinPart::kBottomLeft, x0, yb);
    add(SkinPart::kLeft, {x0, yt, xl, yb}, side_mode);
    corner(SkinPart::kTopRight, xr, y0);
    corner(SkinPart::kBottomRight, xr, yb);
    add(SkinPart::kRight, {xr, yt, x1, yb}, side_mode);
    add(SkinPart::kTop, {xl, y0, xr, yt}, cap_mode);
    add(SkinPart::kBottom, {xl, yb, xr, y1}, cap_mode);

    const PixelRect centre{xl, yt, xr, yb};
    const CVtDIB& middle = Part(SkinPart::kCentre);
    if (m_tileHorizontal && m_tileVertical)
        add(SkinPart::kCentre, centre, Mode::kTile);
    else if (m_tileHorizontal)
        add(SkinPart::kCentre, centre, Mode::kTile, middle.Width(), centre.Height());
    else if (m_tileVertical)
        add(SkinPart::kCentre, centre, Mode::kTile, centre.Width(), middle.Height());
    else
        add(SkinPart::kCentre, centre, Mode::kStretch);
    return steps;
}

} // namespace kelvo
