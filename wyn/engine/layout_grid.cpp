#include "wyn/engine/layout_grid.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace kelvo {
namespace {

// Sums of sizes and gaps can pass 32 bits; they are worked out in 64 and
// saturated only in the results.
using Wide = std::int64_t;

std::int32_t Saturate(Wide value) {
    return static_cast<std::int32_t>(std::clamp<Wide>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

Wide NonNegative(std::int32_t value) {
    return std::max<Wide>(value, 0);
}

// A cell's footing on one axis: the columns (or rows) it covers and what it
// asks of them.
struct AxisCell {
    Wide index = 0; // first track covered
    Wide span = 1;  // tracks covered, at least 1
    Wide natural = 0;
    Wide flex = 0;
    std::size_t first = 0; // position of the first track in the stored tracks
    std::size_t end = 0;   // position of the first stored track past the cell
};

struct Track {
    Wide index = 0;
    Wide size = 0;
    Wide flex = 0;
};

// The columns or the rows of a grid. Only tracks where a cell starts are
// stored; the others are empty and fixed and count only through the gaps, so
// a huge span or `columns` costs no memory.
class Axis {
public:
    Axis(std::vector<AxisCell> cells, Wide gap) : m_cells(std::move(cells)), m_gap(gap) {
        std::vector<Wide> starts;
        starts.reserve(m_cells.size());
        for (const AxisCell& cell : m_cells) {
            starts.push_back(cell.index);
            m_count = std::max(m_count, cell.index + cell.span);
        }
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        m_tracks.reserve(starts.size());
        for (const Wide index : starts) {
            m_tracks.push_back({index});
        }
        for (AxisCell& cell : m_cells) {
            cell.first = Position(cell.index);
            cell.end = Position(cell.index + cell.span);
            Track& track = m_tracks[cell.first];
            if (cell.span == 1) {
                track.size = std::max(track.size, cell.natural);
            }
            track.flex = std::max(track.flex, cell.flex);
        }
        // All flexible tracks share the natural size of the largest of them.
        Wide flexible_size = 0;
        for (const Track& track : m_tracks) {
            if (track.flex != 0) {
                flexible_size = std::max(flexible_size, track.size);
            }
        }
        for (Track& track : m_tracks) {
            if (track.flex != 0) {
                track.size = flexible_size;
            }
        }
        SettleSpans();
    }

    Wide Content() const {
        Wide sum = Gaps();
        for (const Track& track : m_tracks) {
            sum += track.size;
        }
        return sum;
    }

    // Shares what `available` leaves beside the gaps and the fixed tracks
    // among the flexible tracks by weight, whatever their natural sizes; the
    // pixels lost to truncation stay unused at the far edge. Without such
    // space the flexible tracks keep their natural sizes.
    void Distribute(Wide available) {
        Wide fixed = 0;
        Wide total_flex = 0;
        for (const Track& track : m_tracks) {
            if (track.flex == 0) {
                fixed += track.size;
            } else {
                total_flex += track.flex;
            }
        }
        const Wide spare = available - Gaps() - fixed;
        if (spare >= 1 && total_flex != 0) {
            for (Track& track : m_tracks) {
                if (track.flex != 0) {
                    track.size = spare * track.flex / total_flex;
                }
            }
        }
        SettleSpans();
    }

    // Offset from the grid's origin and extent of every cell, in cell order.
    std::vector<std::pair<Wide, Wide>> Place() const {
        std::vector<Wide> before(m_tracks.size() + 1, 0);
        for (std::size_t i = 0; i < m_tracks.size(); ++i) {
            before[i + 1] = before[i] + m_tracks[i].size;
        }
        std::vector<std::pair<Wide, Wide>> placed;
        placed.reserve(m_cells.size());
        for (const AxisCell& cell : m_cells) {
            placed.emplace_back(before[cell.first] + cell.index * m_gap,
                                before[cell.end] - before[cell.first] + (cell.span - 1) * m_gap);
        }
        return placed;
    }

private:
    std::size_t Position(Wide index) const {
        const auto found =
            std::lower_bound(m_tracks.begin(), m_tracks.end(), index,
                             [](const Track& track, Wide wanted) { return track.index < wanted; });
        return static_cast<std::size_t>(found - m_tracks.begin());
    }

    Wide Gaps() const { return m_count > 0 ? (m_count - 1) * m_gap : 0; }

    // A spanning cell whose tracks and inner gaps fall short of its own
    // natural size widens its first track by the difference; later cells see
    // the widened track.
    void SettleSpans() {
        for (const AxisCell& cell : m_cells) {
            if (cell.span < 2) {
                continue;
            }
            Wide total = (cell.span - 1) * m_gap;
            for (std::size_t i = cell.first; i < cell.end; ++i) {
                total += m_tracks[i].size;
            }
            if (total < cell.natural) {
                m_tracks[cell.first].size += cell.natural - total;
            }
        }
    }

    std::vector<AxisCell> m_cells;
    std::vector<Track> m_tracks;
    Wide m_count = 0; // tracks in the grid, stored or not
    Wide m_gap = 0;
};

// The grid of a container: the cursor walks along the orientation, and each
// child's span is clipped so that it never runs past the end of its line.
struct Grid {
    Grid(const GridContainer& container, std::span<const GridChild> children)
        : columns(BuildAxis(container, children, true), NonNegative(container.cellSpaceX)),
          rows(BuildAxis(container, children, false), NonNegative(container.cellSpaceY)) {}

    Axis columns;
    Axis rows;

private:
    static std::vector<AxisCell> BuildAxis(const GridContainer& container,
                                           std::span<const GridChild> children, bool horizontal) {
        const bool vertical = container.orient == GridOrient::kVertical;
        Wide per_line = NonNegative(vertical ? container.rows : container.columns);
        if (per_line == 0) {
            per_line = static_cast<Wide>(children.size());
        }
        const bool along_orientation = horizontal != vertical;
        std::vector<AxisCell> cells;
        cells.reserve(children.size());
        Wide line = 0;
        Wide position = 0;
        for (const GridChild& child : children) {
            const Wide span = std::clamp<Wide>(child.span, 1, per_line - position);
            AxisCell cell;
            if (along_orientation) {
                cell.index = position;
                cell.span = span;
            } else {
                cell.index = line;
            }
            cell.natural = NonNegative(horizontal ? child.width : child.height);
            cell.flex = NonNegative(horizontal ? child.hFlex : child.vFlex);
            cells.push_back(cell);
            position += span;
            if (position >= per_line) {
                position = 0;
                ++line;
            }
        }
        return cells;
    }
};

std::int32_t Limit(Wide size, std::int32_t max) {
    return Saturate(max > 0 ? std::min<Wide>(size, max) : size);
}

} // namespace

GridSize MeasureGrid(const GridContainer& container, std::span<const GridChild> children) {
    Wide content_width = 0;
    Wide content_height = 0;
    if (!children.empty()) {
        const Grid grid(container, children);
        content_width = grid.columns.Content();
        content_height = grid.rows.Content();
    }
    return {Saturate(NonNegative(container.marginLeft) + NonNegative(container.marginRight) +
                     std::max<Wide>(container.minWidth, content_width)),
            Saturate(NonNegative(container.marginTop) + NonNegative(container.marginBottom) +
                     std::max<Wide>(container.minHeight, content_height))};
}

GridArrangement ArrangeGrid(const GridContainer& container, std::span<const GridChild> children,
                            GridRect rect) {
    const Wide width = NonNegative(rect.width);
    const Wide height = NonNegative(rect.height);
    GridArrangement result;
    result.window = {rect.left, rect.top, Limit(width, container.maxWidth),
                     Limit(height, container.maxHeight)};
    if (children.empty()) {
        return result;
    }
    const Wide margin_left = NonNegative(container.marginLeft);
    const Wide margin_top = NonNegative(container.marginTop);
    Grid grid(container, children);
    grid.columns.Distribute(width - margin_left - NonNegative(container.marginRight));
    grid.rows.Distribute(height - margin_top - NonNegative(container.marginBottom));
    const auto xs = grid.columns.Place();
    const auto ys = grid.rows.Place();
    result.cells.reserve(children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        result.cells.push_back({Saturate(rect.left + margin_left + xs[i].first),
                                Saturate(rect.top + margin_top + ys[i].first),
                                Saturate(xs[i].second), Saturate(ys[i].second)});
    }
    return result;
}

std::vector<GridChild> MeasureChildren(const GridChildSource& children) {
    std::vector<GridChild> measured;
    measured.reserve(children.Count());
    for (std::size_t i = 0; i < children.Count(); ++i) {
        measured.push_back(children.Measure(i));
    }
    return measured;
}

std::vector<GridChild> FitChildrenToCells(const GridContainer& container,
                                          const GridChildSource& children, GridRect rect) {
    std::vector<GridChild> fitted = MeasureChildren(children);
    const GridArrangement first = ArrangeGrid(container, fitted, rect);
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        fitted[i].height = children.HeightForWidth(i, first.cells[i].width);
    }
    return fitted;
}

} // namespace kelvo
