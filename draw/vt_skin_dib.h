#pragma once
// A nine-part picture: four corners kept at their own size, four edges and
// a centre that stretch or tile to fill any rectangle.

#include <array>
#include <cstdint>
#include <vector>

#include "draw/pixel_rect.h"
#include "draw/vt_dib.h"

namespace kelvo {

struct SkinMargins {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t top = 0;
    std::uint32_t bottom = 0;
};

enum class SkinPart {
    kTopLeft,
    kTop,
    kTopRight,
    kLeft,
    kCentre,
    kRight,
    kBottomLeft,
    kBottom,
    kBottomRight
};

// One part put in place: drawn at its own size at the area's top-left,
// stretched over the area, or tiled over it (resized first to
// tile_width x tile_height when those are not 0).
struct SkinStep {
    enum class Mode { kNatural, kStretch, kTile };
    SkinPart part;
    PixelRect area;
    Mode mode;
    std::int32_t tile_width = 0;
    std::int32_t tile_height = 0;

    bool operator==(const SkinStep&) const = default;
};

class CVtSkinDIB {
public:
    // Keeps the margins and flags and cuts the nine parts out of `source`;
    // a corner or edge whose margin is 0 stays empty.
    void Slice(const CVtDIB& source, const SkinMargins& margins, bool tile_horizontal,
               bool tile_vertical);

    // The parts to draw into `rect`, in drawing order: the left column, the
    // right column, the top and bottom edges, then the centre. Empty parts,
    // parts with no room, and (with a clip) parts whose area does not meet
    // the clip are left out; a part that meets the clip is drawn whole.
    std::vector<SkinStep> Layout(const PixelRect& rect, const PixelRect* clip = nullptr) const;

    const CVtDIB& Part(SkinPart part) const noexcept {
        return m_parts[static_cast<std::size_t>(part)];
    }
    const SkinMargins& Margins() const noexcept { return m_margins; }

private:
    std::array<CVtDIB, 9> m_parts;
    SkinMargins m_margins;
    bool m_tileHorizontal = false;
    bool m_tileVertical = false;
};

} // namespace kelvo
