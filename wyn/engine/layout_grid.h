#pragma once
// The grid layout of the dialog engine as a pure calculation. A container's
// shape, spacing, margins and size limits plus its children's natural sizes,
// spans and flex weights give the container's natural size and the cell of
// every child. Every child takes part, hidden ones included, so a hidden child
// keeps its cell; only its window is invisible.
//
// All values are pixels (dialog units already converted, inherited cell
// spacing already resolved). Values that make no sense are read safely: a
// negative gap, margin or natural size counts as 0, a negative flex weight as
// fixed, a span below 1 as 1, negative `columns`/`rows` as one line. Results
// that would not fit 32 bits are saturated.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvo {

enum class GridOrient : std::int32_t { kHorizontal = 0, kVertical = 1 };

struct GridSize {
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool operator==(const GridSize&) const = default;
};

struct GridRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool operator==(const GridRect&) const = default;
};

struct GridContainer {
    GridOrient orient = GridOrient::kHorizontal;
    std::int32_t columns = 0; // cells per row of a horizontal container; 0 = one row
    std::int32_t rows = 0;    // cells per column of a vertical container; 0 = one column
    std::int32_t cellSpaceX = 0;
    std::int32_t cellSpaceY = 0;
    std::int32_t marginLeft = 0;
    std::int32_t marginRight = 0;
    std::int32_t marginTop = 0;
    std::int32_t marginBottom = 0;
    std::int32_t minWidth = 0;
    std::int32_t minHeight = 0;
    std::int32_t maxWidth = 0; // limits the container's own window, not its cell; 0 = none
    std::int32_t maxHeight = 0;
};

struct GridChild {
    std::int32_t width = 0; // natural size
    std::int32_t height = 0;
    std::int32_t span = 1;  // cells covered along the container's orientation
    std::int32_t hFlex = 0; // share of spare width; 0 = fixed
    std::int32_t vFlex = 0;

    bool operator==(const GridChild&) const = default;
};

struct GridArrangement {
    GridRect window;             // the given rectangle limited by the max sizes
    std::vector<GridRect> cells; // one per child, in child order
};

// Natural outer size: margins around the larger of the min size and the grid's
// natural content.
GridSize MeasureGrid(const GridContainer& container, std::span<const GridChild> children);

// One pass: the grid at its natural solution, then the room that `rect`
// leaves inside the margins, beside the gaps and the fixed columns and rows,
// shared among the flexible ones by weight, whatever their natural sizes (a
// flexible column may end narrower than its content). When there is no such
// room at all, the flexible columns and rows keep their natural sizes and the
// content runs past the container's far edge: nothing is shrunk.
GridArrangement ArrangeGrid(const GridContainer& container, std::span<const GridChild> children,
                            GridRect rect);

// The children of a live container: their natural sizes, and the height each
// needs at a given width (a wrapping text is taller in a narrower cell). Both
// are queries: asking changes nothing.
class GridChildSource {
public:
    virtual ~GridChildSource() = default;
    virtual std::size_t Count() const = 0;
    virtual GridChild Measure(std::size_t index) const = 0;
    virtual std::int32_t HeightForWidth(std::size_t index, std::int32_t width) const = 0;
};

std::vector<GridChild> MeasureChildren(const GridChildSource& children);

// The children at their natural widths, each with the height it needs at the
// width of its cell in a first pass over `rect` (widths do not depend on
// heights, so a second pass over `rect` keeps those widths). MeasureGrid of
// the result is the container's natural height at `rect`'s width.
std::vector<GridChild> FitChildrenToCells(const GridContainer& container,
                                          const GridChildSource& children, GridRect rect);

} // namespace kelvo
