#include "wyn/engine/layout_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <ostream>
#include <utility>
#include <vector>

namespace kelvo {

void PrintTo(const GridRect& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << "}";
}
void PrintTo(const GridSize& s, std::ostream* os) {
    *os << s.width << " x " << s.height;
}

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct GridCase {
    const char* name;
    GridContainer container;
    std::vector<GridChild> children;
    GridSize natural;
    GridRect rect; // where the container is arranged
    std::vector<GridRect> cells;
};

const GridContainer kRowGap4{.cellSpaceX = 4, .cellSpaceY = 4};
const GridContainer kTwoColumns{.columns = 2, .cellSpaceX = 4, .cellSpaceY = 4};

const std::vector<GridCase> kCases = {
    {"three fixed buttons take their own widths and the tallest height",
     kRowGap4,
     {{.width = 75, .height = 23}, {.width = 60, .height = 25}, {.width = 90, .height = 23}},
     {233, 25},
     {10, 20, 400, 60},
     {{10, 20, 75, 25}, {89, 20, 60, 25}, {153, 20, 90, 25}}},
    {"flex 1 and 2 share 300 spare pixels as 100 and 200",
     kRowGap4,
     {{.width = 50, .height = 10},
      {.width = 10, .height = 10, .hFlex = 1},
      {.width = 10, .height = 10, .hFlex = 2}},
     {78, 10},
     {0, 0, 358, 10}, // 358 - 50 fixed - 2 gaps = 300
     {{0, 0, 50, 10}, {54, 0, 100, 10}, {158, 0, 200, 10}}},
    {"flex 1 and 2 in 301 spare pixels leave one unused",
     kRowGap4,
     {{.width = 50, .height = 10},
      {.width = 10, .height = 10, .hFlex = 1},
      {.width = 10, .height = 10, .hFlex = 2}},
     {78, 10},
     {0, 0, 359, 10},
     {{0, 0, 50, 10}, {54, 0, 100, 10}, {158, 0, 200, 10}}},
    {"a flexible column gets its share even when narrower than its content",
     {},
     {{.width = 200, .height = 10, .hFlex = 1}, {.width = 10, .height = 10, .hFlex = 1}},
     {400, 10}, // flexible columns share the widest natural width
     {0, 0, 100, 10},
     {{0, 0, 50, 10}, {50, 0, 50, 10}}},
    {"columns 2: span 3 at column 0 is clipped to 2",
     kTwoColumns,
     {{.width = 30, .height = 10, .span = 3},
      {.width = 40, .height = 10},
      {.width = 50, .height = 10}},
     {94, 24},
     {0, 0, 94, 24},
     {{0, 0, 94, 10}, {0, 14, 40, 10}, {44, 14, 50, 10}}},
    {"columns 2: span 3 at column 1 is clipped to 1",
     kTwoColumns,
     {{.width = 40, .height = 10},
      {.width = 50, .height = 10, .span = 3},
      {.width = 30, .height = 10}},
     {94, 24},
     {0, 0, 94, 24},
     {{0, 0, 40, 10}, {44, 0, 50, 10}, {0, 14, 40, 10}}},
    {"a spanning cell wider than its columns widens the first only",
     kTwoColumns,
     {{.width = 50, .height = 10},
      {.width = 50, .height = 10},
      {.width = 200, .height = 10, .span = 2}},
     {200, 24},
     {0, 0, 200, 24},
     {{0, 0, 146, 10}, {150, 0, 50, 10}, {0, 14, 200, 10}}},
    {"a lone spanning cell makes the container as wide as itself",
     kTwoColumns,
     {{.width = 100, .height = 10, .span = 2}},
     {100, 10},
     {0, 0, 100, 10},
     {{0, 0, 100, 10}}},
    {"a spanning cell does not hold shrunk flexible columns at their natural width",
     {.columns = 2},
     {{.width = 100, .height = 10, .hFlex = 1},
      {.width = 100, .height = 10, .hFlex = 1},
      {.width = 60, .height = 10, .span = 2}},
     {200, 20},
     {0, 0, 100, 20},
     {{0, 0, 50, 10}, {50, 0, 50, 10}, {0, 10, 100, 10}}},
    {"a flexible column with no room left beside the fixed ones keeps its natural width",
     kRowGap4,
     {{.width = 50, .height = 10}, {.width = 30, .height = 10, .hFlex = 1}},
     {84, 10},
     {0, 0, 54, 10}, // 54 - 50 fixed - 1 gap = 0
     {{0, 0, 50, 10}, {54, 0, 30, 10}}},
    {"a flexible column in a shortage keeps its natural width and overflows",
     kRowGap4,
     {{.width = 50, .height = 10}, {.width = 30, .height = 10, .hFlex = 1}},
     {84, 10},
     {0, 0, 40, 10}, // 40 - 50 fixed - 1 gap = -14
     {{0, 0, 50, 10}, {54, 0, 30, 10}}},
    {"fixed columns overflow a narrow container unshrunk",
     kRowGap4,
     {{.width = 100, .height = 10}, {.width = 100, .height = 10}, {.width = 100, .height = 10}},
     {308, 10},
     {0, 0, 150, 10},
     {{0, 0, 100, 10}, {104, 0, 100, 10}, {208, 0, 100, 10}}},
    {"a vertical container walks down its rows and wraps into columns",
     {.orient = GridOrient::kVertical, .rows = 2, .cellSpaceX = 4, .cellSpaceY = 4},
     {{.width = 30, .height = 10, .span = 2},
      {.width = 40, .height = 20},
      {.width = 20, .height = 10}},
     {74, 34},
     {0, 0, 74, 34},
     {{0, 0, 30, 34}, {34, 0, 40, 20}, {34, 24, 40, 10}}},
    {"margins frame the grid and vFlex takes the spare height",
     {.orient = GridOrient::kVertical,
      .cellSpaceX = 4,
      .cellSpaceY = 4,
      .marginLeft = 2,
      .marginRight = 3,
      .marginTop = 5,
      .marginBottom = 7},
     {{.width = 10, .height = 20}, {.width = 10, .height = 20, .vFlex = 1}},
     {15, 56},
     {100, 200, 50, 112}, // inner height 100 - 4 gap - 20 fixed = 76
     {{102, 205, 10, 20}, {102, 229, 10, 76}}},
    {"min size counts inside the margins",
     {.marginLeft = 1,
      .marginRight = 2,
      .marginTop = 3,
      .marginBottom = 4,
      .minWidth = 100,
      .minHeight = 5},
     {{.width = 10, .height = 10}},
     {103, 17},
     {0, 0, 103, 17},
     {{1, 3, 10, 10}}},
    {"senseless values are read safely",
     {.columns = -3, .cellSpaceX = -4, .marginLeft = -7, .minWidth = -50},
     {{.width = 20, .height = 10, .span = 0, .hFlex = -1},
      {.width = -30, .height = 10, .span = -5},
      {.width = 10, .height = 10, .hFlex = 1}},
     {30, 10},
     {0, 0, 100, 10},
     {{0, 0, 20, 10}, {20, 0, 0, 10}, {20, 0, 80, 10}}},
};

TEST(LayoutGrid, CasesMeasureAndArrange) {
    for (const GridCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MeasureGrid(c.container, c.children), c.natural);
        const GridArrangement arranged = ArrangeGrid(c.container, c.children, c.rect);
        EXPECT_EQ(arranged.window, c.rect);
        EXPECT_EQ(arranged.cells, c.cells);
    }
}

TEST(LayoutGrid, EmptyContainerIsItsMarginsAndMinSize) {
    const GridContainer box{.cellSpaceX = 9, .marginLeft = 2, .marginRight = 3, .minHeight = 12};
    EXPECT_EQ(MeasureGrid(box, {}), (GridSize{5, 12}));
    EXPECT_TRUE(ArrangeGrid(box, {}, {0, 0, 40, 40}).cells.empty());
}

TEST(LayoutGrid, MaxSizeLimitsTheWindowButNotTheCells) {
    const GridContainer box{.maxWidth = 100, .maxHeight = 30};
    const std::vector<GridChild> children{{.width = 10, .height = 10, .hFlex = 1, .vFlex = 1}};
    const GridArrangement arranged = ArrangeGrid(box, children, {5, 6, 300, 40});
    EXPECT_EQ(arranged.window, (GridRect{5, 6, 100, 30}));
    EXPECT_EQ(arranged.cells, (std::vector<GridRect>{{5, 6, 300, 40}}));
}

TEST(LayoutGrid, ZeroGapBoxSitsInsideAParentWithGaps) {
    const GridContainer inner{.cellSpaceX = 0, .cellSpaceY = 0};
    const std::vector<GridChild> inner_children{{.width = 20, .height = 10},
                                                {.width = 25, .height = 10}};
    const GridSize inner_size = MeasureGrid(inner, inner_children);
    EXPECT_EQ(inner_size, (GridSize{45, 10}));

    const std::vector<GridChild> outer_children{
        {.width = 30, .height = 10},
        {.width = inner_size.width, .height = inner_size.height},
        {.width = 30, .height = 10}};
    const GridArrangement outer = ArrangeGrid(kRowGap4, outer_children, {0, 0, 113, 10});
    EXPECT_EQ(outer.cells,
              (std::vector<GridRect>{{0, 0, 30, 10}, {34, 0, 45, 10}, {83, 0, 30, 10}}));
    EXPECT_EQ(ArrangeGrid(inner, inner_children, outer.cells[1]).cells,
              (std::vector<GridRect>{{34, 0, 20, 10}, {54, 0, 25, 10}}));
}

TEST(LayoutGrid, HugeValuesSaturateInsteadOfOverflowing) {
    // Natural size past 32 bits.
    EXPECT_EQ(MeasureGrid({.marginLeft = kMax, .marginRight = kMax, .minHeight = kMax},
                          std::vector<GridChild>{{.width = kMax, .height = kMax}}),
              (GridSize{kMax, kMax}));

    // Positions past 32 bits.
    const GridContainer wide_gaps{.cellSpaceX = 1'000'000'000};
    const std::vector<GridChild> four(4, GridChild{.width = 10, .height = 10});
    const GridArrangement far = ArrangeGrid(wide_gaps, four, {0, 0, 100, 10});
    ASSERT_EQ(far.cells.size(), 4u);
    EXPECT_EQ(far.cells[2].left, 2'000'000'020);
    EXPECT_EQ(far.cells[3].left, kMax);

    // Weights whose products with the spare width pass 32 bits.
    const std::vector<GridChild> heavy{{.width = 0, .height = 1, .hFlex = kMax},
                                       {.width = 0, .height = 1, .hFlex = 1}};
    const GridArrangement shared = ArrangeGrid({}, heavy, {0, 0, kMax, 1});
    EXPECT_EQ(shared.cells[0].width, kMax - 1);
    EXPECT_EQ(shared.cells[1].width, 0);
}

TEST(LayoutGrid, HugeSpanCountsItsGapsWithoutStoringEveryColumn) {
    const GridContainer box{.columns = kMax, .cellSpaceX = 2};
    const std::vector<GridChild> children{{.width = 10, .height = 10, .span = 1'000'000'000},
                                          {.width = 10, .height = 10}};
    EXPECT_EQ(MeasureGrid(box, children).width, 2'000'000'010);
    const GridArrangement arranged = ArrangeGrid(box, children, {0, 0, 100, 10});
    EXPECT_EQ(arranged.cells,
              (std::vector<GridRect>{{0, 0, 1'999'999'998, 10}, {2'000'000'000, 0, 10, 10}}));
}

// Leaves as the dialog's elements behave: fixed natural sizes, except a
// multiline note that needs more lines in a narrower cell.
class Leaves : public GridChildSource {
public:
    struct Leaf {
        GridChild natural;
        std::int32_t textWidth = 0; // wraps when nonzero
        std::int32_t lineHeight = 0;
    };

    explicit Leaves(std::vector<Leaf> leaves) : m_leaves(std::move(leaves)) {}

    std::size_t Count() const override { return m_leaves.size(); }

    GridChild Measure(std::size_t index) const override { return m_leaves[index].natural; }

    std::int32_t HeightForWidth(std::size_t index, std::int32_t width) const override {
        const Leaf& leaf = m_leaves[index];
        if (leaf.textWidth == 0 || width <= 0) {
            return leaf.natural.height;
        }
        const std::int32_t lines = (leaf.textWidth + width - 1) / width;
        return std::max(leaf.natural.height, lines * leaf.lineHeight);
    }

private:
    std::vector<Leaf> m_leaves;
};

// The settings dialog's two-column box: labels in column 0, controls in
// column 1, lines and a multiline note spanning both.
TEST(LayoutGrid, SettingsBoxGivesTheNoteBothColumnsAndItsWrappedHeight) {
    const Leaves settings({
        {{.width = 118, .height = 13}},                    // "On chunk double click:"
        {{.width = 120, .height = 21}},                    // combobox
        {{.width = 98, .height = 13}},                     // "Open Kelvo hotkey:"
        {{.width = 150, .height = 24}},                    // hotkey
        {{.width = 21, .height = 2, .span = 2}},           // line
        {{.width = 11, .height = 12, .span = 2}, 700, 13}, // the note
        {{.width = 100, .height = 13}},                    // "Delay before paste:"
        {{.width = 110, .height = 20}},                    // textbox, spin, "msec"
        {{.width = 132, .height = 13}},                    // "Delay after switch window:"
        {{.width = 110, .height = 20}},                    // textbox, spin, "msec"
        {{.width = 21, .height = 2, .span = 2}},           // line
    });
    const GridContainer box{.columns = 2, .cellSpaceX = 6, .cellSpaceY = 6};

    // Rows 21, 24, 2, 12, 20, 20, 2 and six gaps.
    const GridSize natural = MeasureGrid(box, MeasureChildren(settings));
    EXPECT_EQ(natural, (GridSize{288, 137}));

    // In the cell that width gives it the note needs three lines.
    const std::vector<GridChild> fitted = FitChildrenToCells(box, settings, {0, 0, 288, 0});
    EXPECT_EQ(fitted[5].height, 39);
    EXPECT_EQ(fitted[5].width, 11) << "the natural width stays";
    EXPECT_EQ(fitted[3].height, 24) << "what does not wrap keeps its height";
    const GridSize for_width = MeasureGrid(box, fitted);
    EXPECT_EQ(for_width, (GridSize{288, 137 - 12 + 39}));
    EXPECT_EQ(FitChildrenToCells(box, settings, {0, 0, 288, 0}), fitted)
        << "asking changes nothing";

    const GridArrangement cells = ArrangeGrid(box, fitted, {0, 0, 288, 164});
    EXPECT_EQ(cells.cells[0], (GridRect{0, 0, 132, 21}));   // widest label
    EXPECT_EQ(cells.cells[1], (GridRect{138, 0, 150, 21})); // widest control
    EXPECT_EQ(cells.cells[4], (GridRect{0, 57, 288, 2}));   // line over both columns
    EXPECT_EQ(cells.cells[5], (GridRect{0, 65, 288, 39}));  // 132 + 6 + 150, 3 lines of 13
    EXPECT_EQ(cells.cells[6], (GridRect{0, 110, 132, 20})); // below the note
    EXPECT_EQ(cells.cells[10], (GridRect{0, 162, 288, 2}));
}

// A wrapping text in a flexible column: the wider the container, the fewer
// lines, and narrowing it again gives the first height back.
TEST(LayoutGrid, HeightFollowsTheWidthBothWays) {
    const Leaves row(
        {{{.width = 40, .height = 10}}, {{.width = 20, .height = 10, .hFlex = 1}, 600, 10}});
    const GridContainer box{.cellSpaceX = 4};
    const auto height_at = [&](std::int32_t width) {
        return MeasureGrid(box, FitChildrenToCells(box, row, {0, 0, width, 0})).height;
    };
    EXPECT_EQ(height_at(144), 60); // 100 wide: 6 lines
    EXPECT_EQ(height_at(344), 20); // 300 wide: 2 lines
    EXPECT_EQ(height_at(144), 60);
    EXPECT_EQ(MeasureGrid(box, MeasureChildren(row)), (GridSize{64, 10}));
}

} // namespace
} // namespace kelvo
