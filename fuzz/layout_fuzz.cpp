// Arbitrary containers and children through the grid layout: no crash, no
// undefined behaviour, one cell per child (hidden children included, as the
// solver never drops one), no negative sizes; with values small enough that
// nothing saturates, cells start inside the margins, never overlap, and fit
// the container whenever it gets at least its natural size and no cell spans.

#include "wyn/engine/layout_grid.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

using kelvo::GridArrangement;
using kelvo::GridChild;
using kelvo::GridContainer;
using kelvo::GridOrient;
using kelvo::GridRect;
using kelvo::GridSize;

class Values {
public:
    explicit Values(FuzzedDataProvider& data) : m_data(data) {}

    // Mostly in [low, high]; now and then an extreme that forces saturation.
    std::int32_t Next(std::int32_t low, std::int32_t high) {
        if (m_data.ConsumeIntegralInRange(0, 15) != 0) {
            return m_data.ConsumeIntegralInRange(low, high);
        }
        m_extreme = true;
        static constexpr std::int32_t kExtremes[] = {std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max(),
                                                     1 << 30, -(1 << 30)};
        return m_data.PickValueInArray(kExtremes);
    }

    bool Extreme() const { return m_extreme; }

private:
    FuzzedDataProvider& m_data;
    bool m_extreme = false;
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool Overlap(const GridRect& a, const GridRect& b) {
    const auto left = std::max<std::int64_t>(a.left, b.left);
    const auto right =
        std::min<std::int64_t>(std::int64_t{a.left} + a.width, std::int64_t{b.left} + b.width);
    const auto top = std::max<std::int64_t>(a.top, b.top);
    const auto bottom =
        std::min<std::int64_t>(std::int64_t{a.top} + a.height, std::int64_t{b.top} + b.height);
    return left < right && top < bottom;
}

// Children as a live container asks them: some hold a text that wraps, one
// line of 12 pixels for every `text` pixels that do not fit the width.
class Wrapping : public kelvo::GridChildSource {
public:
    Wrapping(const std::vector<GridChild>& children, const std::vector<std::int32_t>& text)
        : m_children(children), m_text(text) {}

    std::size_t Count() const override { return m_children.size(); }
    GridChild Measure(std::size_t index) const override { return m_children[index]; }
    std::int32_t HeightForWidth(std::size_t index, std::int32_t width) const override {
        const std::int64_t natural = m_children[index].height;
        if (m_text[index] == 0) {
            return m_children[index].height;
        }
        const std::int64_t wide = std::max(width, 1);
        const std::int64_t lines = (m_text[index] + wide - 1) / wide;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(
            std::max(natural, lines * 12), 0, std::numeric_limits<std::int32_t>::max()));
    }

private:
    const std::vector<GridChild>& m_children;
    const std::vector<std::int32_t>& m_text;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    Values values(data);

    GridContainer box;
    box.orient = data.ConsumeBool() ? GridOrient::kVertical : GridOrient::kHorizontal;
    box.columns = values.Next(-2, 6);
    box.rows = values.Next(-2, 6);
    box.cellSpaceX = values.Next(-2, 12);
    box.cellSpaceY = values.Next(-2, 12);
    box.marginLeft = values.Next(-2, 12);
    box.marginRight = values.Next(-2, 12);
    box.marginTop = values.Next(-2, 12);
    box.marginBottom = values.Next(-2, 12);
    box.minWidth = values.Next(-10, 400);
    box.minHeight = values.Next(-10, 400);
    box.maxWidth = values.Next(-10, 400);
    box.maxHeight = values.Next(-10, 400);

    std::vector<GridChild> children(data.ConsumeIntegralInRange<std::size_t>(0, 40));
    bool spans = false;
    for (GridChild& child : children) {
        child.width = values.Next(-10, 300);
        child.height = values.Next(-10, 300);
        child.span = values.Next(-1, 5);
        child.hFlex = values.Next(-2, 5);
        child.vFlex = values.Next(-2, 5);
        spans = spans || child.span > 1;
    }
    std::vector<std::int32_t> text;
    for (std::size_t i = 0; i < children.size(); ++i) {
        text.push_back(data.ConsumeBool() ? data.ConsumeIntegralInRange(0, 3000) : 0);
    }
    const Wrapping source(children, text);
    const GridRect rect{values.Next(-500, 500), values.Next(-500, 500), values.Next(-10, 2000),
                        values.Next(-10, 2000)};

    const GridSize natural = kelvo::MeasureGrid(box, children);
    Check(natural.width >= 0 && natural.height >= 0);

    const GridArrangement given = kelvo::ArrangeGrid(box, children, rect);
    Check(given.cells.size() == children.size());
    Check(given.window.width >= 0 && given.window.height >= 0);
    for (const GridRect& cell : given.cells) {
        Check(cell.width >= 0 && cell.height >= 0);
    }
    // Heights for the cells' widths: one per child, natural widths kept, never
    // below the natural height, and the same answer when asked again.
    const std::vector<GridChild> fitted = kelvo::FitChildrenToCells(box, source, rect);
    Check(fitted.size() == children.size());
    for (std::size_t i = 0; i < fitted.size(); ++i) {
        Check(fitted[i].width == children[i].width);
        Check(fitted[i].height >= children[i].height);
    }
    Check(kelvo::FitChildrenToCells(box, source, rect) == fitted);
    if (values.Extreme()) {
        return 0;
    }

    const std::int64_t inner_left = std::int64_t{rect.left} + std::max(box.marginLeft, 0);
    const std::int64_t inner_top = std::int64_t{rect.top} + std::max(box.marginTop, 0);
    for (std::size_t i = 0; i < given.cells.size(); ++i) {
        Check(given.cells[i].left >= inner_left && given.cells[i].top >= inner_top);
        for (std::size_t j = 0; j < i; ++j) {
            Check(!Overlap(given.cells[i], given.cells[j]));
        }
    }

    if (spans) {
        return 0;
    }
    // At its natural size or larger, the container holds every cell.
    const GridRect roomy{rect.left, rect.top, natural.width + std::max(rect.width, 0),
                         natural.height + std::max(rect.height, 0)};
    const GridArrangement roomy_cells = kelvo::ArrangeGrid(box, children, roomy);
    const std::int64_t inner_right =
        std::int64_t{roomy.left} + roomy.width - std::max(box.marginRight, 0);
    const std::int64_t inner_bottom =
        std::int64_t{roomy.top} + roomy.height - std::max(box.marginBottom, 0);
    for (const GridRect& cell : roomy_cells.cells) {
        Check(std::int64_t{cell.left} + cell.width <= inner_right);
        Check(std::int64_t{cell.top} + cell.height <= inner_bottom);
    }
    // At that width and the height its wrapping children need there, too.
    const std::vector<GridChild> wrapped = kelvo::FitChildrenToCells(box, source, roomy);
    const GridRect tall{roomy.left, roomy.top, roomy.width,
                        kelvo::MeasureGrid(box, wrapped).height};
    const GridArrangement wrapped_cells = kelvo::ArrangeGrid(box, wrapped, tall);
    const std::int64_t tall_bottom =
        std::int64_t{tall.top} + tall.height - std::max(box.marginBottom, 0);
    for (const GridRect& cell : wrapped_cells.cells) {
        Check(std::int64_t{cell.left} + cell.width <= inner_right);
        Check(std::int64_t{cell.top} + cell.height <= tall_bottom);
    }
    return 0;
}
