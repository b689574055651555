#include "wyn/host/window_placement.h"

#include <gtest/gtest.h>

namespace {

using kelvo::PlaceDialog;
using kelvo::PlaceTip;
using kelvo::ScreenPoint;
using kelvo::ScreenRect;
using kelvo::SizingEdge;

// A work area that does not start at the origin, as on a second monitor or
// with a task bar at the top or left.
constexpr ScreenRect kWork{100, 50, 1100, 850};

TEST(PlaceDialog, CentredOnTheWorkArea) {
    EXPECT_EQ(PlaceDialog(kWork, {301, 201}, true, ScreenPoint{0, 0}), (ScreenPoint{450, 350}));
}

TEST(PlaceDialog, AtTheOwnerKeptInsideTheWorkArea) {
    const struct {
        ScreenPoint owner;
        ScreenPoint expected;
    } cases[] = {
        {{300, 200}, {300, 200}},  // fits where the owner is
        {{1000, 800}, {800, 550}}, // moved left and up to fit
        {{0, 0}, {100, 50}},       // moved right and down into the work area
        {{-500, 900}, {100, 550}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceDialog(kWork, {300, 300}, false, c.owner), c.expected)
            << c.owner.x << "," << c.owner.y;
    }
}

TEST(PlaceDialog, WithoutOwnerAtTheWorkAreasTopLeft) {
    EXPECT_EQ(PlaceDialog(kWork, {300, 300}, false, std::nullopt), (ScreenPoint{100, 50}));
}

TEST(PlaceDialog, LargerThanTheWorkAreaStartsAtItsTopLeft) {
    EXPECT_EQ(PlaceDialog(kWork, {2000, 1000}, false, ScreenPoint{500, 500}),
              (ScreenPoint{100, 50}));
}

TEST(LimitSizing, NoEdgeOrCornerGoesBelowTheMinimum) {
    const kelvo::ScreenSize minimum{300, 200};
    const struct {
        SizingEdge edge;
        ScreenRect proposed;
        ScreenRect expected;
    } cases[] = {
        {SizingEdge::kLeft, {350, 100, 400, 300}, {100, 100, 400, 300}},
        {SizingEdge::kRight, {100, 100, 150, 300}, {100, 100, 400, 300}},
        {SizingEdge::kTop, {100, 250, 400, 300}, {100, 100, 400, 300}},
        {SizingEdge::kBottom, {100, 100, 400, 120}, {100, 100, 400, 300}},
        {SizingEdge::kTopLeft, {390, 290, 400, 300}, {100, 100, 400, 300}},
        {SizingEdge::kTopRight, {100, 290, 110, 300}, {100, 100, 400, 300}},
        {SizingEdge::kBottomLeft, {390, 100, 400, 110}, {100, 100, 400, 300}},
        {SizingEdge::kBottomRight, {100, 100, 110, 110}, {100, 100, 400, 300}},
        // Larger than the minimum: untouched.
        {SizingEdge::kBottomRight, {100, 100, 500, 400}, {100, 100, 500, 400}},
        // One direction short only.
        {SizingEdge::kTopLeft, {50, 280, 400, 300}, {50, 100, 400, 300}},
    };
    for (const auto& c : cases) {
        ScreenRect r = c.proposed;
        kelvo::LimitSizing(r, c.edge, minimum);
        EXPECT_EQ(r, c.expected) << "edge " << static_cast<int>(c.edge);
    }
}

TEST(PlaceTip, AboveTheControlByDefault) {
    EXPECT_EQ(PlaceTip(kWork, {300, 400, 500, 420}, {340, 80}), (ScreenPoint{300, 315}));
}

TEST(PlaceTip, BelowAControlNearTheTop) {
    EXPECT_EQ(PlaceTip(kWork, {300, 60, 500, 80}, {340, 80}), (ScreenPoint{300, 85}));
}

TEST(PlaceTip, ShiftedLeftToEndFivePixelsInsideTheRightEdge) {
    const ScreenPoint at = PlaceTip(kWork, {900, 400, 1000, 420}, {340, 80});
    EXPECT_EQ(at.x + 340, kWork.right - 5);
}

TEST(PlaceTip, WiderThanTheWorkAreaStartsFivePixelsInside) {
    EXPECT_EQ(PlaceTip(kWork, {900, 400, 1000, 420}, {2000, 80}).x, kWork.left + 5);
}

} // namespace
