#include "draw/vt_skin_dib.h"

#include <gtest/gtest.h>

#include "draw/test_pixels.h"

namespace kelvo {
namespace {

using testing::Argb;
using testing::At;
using Mode = SkinStep::Mode;

CVtDIB Numbered(int width, int height) {
    std::vector<std::uint32_t> pixels;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            pixels.push_back(Argb(255, x, height - 1 - row, 0));
    return CVtDIB(width, height, pixels);
}

TEST(VtSkinDib, SliceCutsNinePartsAtTheMargins) {
    CVtSkinDIB skin;
    skin.Slice(Numbered(10, 8), {.left = 3, .right = 2, .top = 1, .bottom = 4}, false, false);
    struct Expect {
        SkinPart part;
        int w, h, x, y; // size and the source position of the part's top-left
    } expected[] = {
        {SkinPart::kTopLeft, 3, 1, 0, 0},     {SkinPart::kTop, 5, 1, 3, 0},
        {SkinPart::kTopRight, 2, 1, 8, 0},    {SkinPart::kLeft, 3, 3, 0, 1},
        {SkinPart::kCentre, 5, 3, 3, 1},      {SkinPart::kRight, 2, 3, 8, 1},
        {SkinPart::kBottomLeft, 3, 4, 0, 4},  {SkinPart::kBottom, 5, 4, 3, 4},
        {SkinPart::kBottomRight, 2, 4, 8, 4},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(static_cast<int>(e.part));
        const CVtDIB& part = skin.Part(e.part);
        ASSERT_EQ(part.Width(), e.w);
        ASSERT_EQ(part.Height(), e.h);
        EXPECT_EQ(At(part, 0, 0), Argb(255, e.x, e.y, 0));
        EXPECT_EQ(At(part, e.w - 1, e.h - 1), Argb(255, e.x + e.w - 1, e.y + e.h - 1, 0));
    }
}

TEST(VtSkinDib, StretchedLayoutInDrawingOrder) {
    CVtSkinDIB skin;
    skin.Slice(Numbered(10, 8), {.left = 3, .right = 2, .top = 1, .bottom = 4}, false, false);
    EXPECT_EQ(skin.Layout({100, 200, 150, 230}),
              (std::vector<SkinStep>{
                  {SkinPart::kTopLeft, {100, 200, 103, 201}, Mode::kNatural},
                  {SkinPart::kBottomLeft, {100, 226, 103, 230}, Mode::kNatural},
                  {SkinPart::kLeft, {100, 201, 103, 226}, Mode::kStretch},
                  {SkinPart::kTopRight, {148, 200, 150, 201}, Mode::kNatural},
                  {SkinPart::kBottomRight, {148, 226, 150, 230}, Mode::kNatural},
                  {SkinPart::kRight, {148, 201, 150, 226}, Mode::kStretch},
                  {SkinPart::kTop, {103, 200, 148, 201}, Mode::kStretch},
                  {SkinPart::kBottom, {103, 226, 148, 230}, Mode::kStretch},
                  {SkinPart::kCentre, {103, 201, 148, 226}, Mode::kStretch},
              }));
}

TEST(VtSkinDib, TilingFlagsChooseHowEdgesAndCentreFill) {
    const PixelRect rect{0, 0, 40, 30};
    const PixelRect centre{3, 3, 37, 27};
    struct Case {
        bool horizontal, vertical;
        Mode sides, caps;
        SkinStep middle;
    } cases[] = {
        {true, false, Mode::kStretch, Mode::kTile, {SkinPart::kCentre, centre, Mode::kTile, 3, 24}},
        {false, true, Mode::kTile, Mode::kStretch, {SkinPart::kCentre, centre, Mode::kTile, 34, 2}},
        {true, true, Mode::kTile, Mode::kTile, {SkinPart::kCentre, centre, Mode::kTile}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.horizontal << c.vertical);
        CVtSkinDIB skin;
        skin.Slice(Numbered(9, 8), {3, 3, 3, 3}, c.horizontal, c.vertical);
        auto steps = skin.Layout(rect);
        ASSERT_EQ(steps.size(), 9u);
        EXPECT_EQ(steps[2].mode, c.sides); // left edge
        EXPECT_EQ(steps[5].mode, c.sides); // right edge
        EXPECT_EQ(steps[6].mode, c.caps);  // top edge
        EXPECT_EQ(steps[7].mode, c.caps);  // bottom edge
        EXPECT_EQ(steps[8], c.middle);
    }
}

TEST(VtSkinDib, ZeroMarginsDrawOnlyTheCentre) {
    for (bool tiled : {false, true}) {
        CVtSkinDIB skin;
        skin.Slice(Numbered(6, 4), {}, tiled, tiled);
        EXPECT_EQ(skin.Part(SkinPart::kCentre).Width(), 6);
        EXPECT_EQ(skin.Layout({5, 5, 50, 20}),
                  (std::vector<SkinStep>{
                      {SkinPart::kCentre, {5, 5, 50, 20}, tiled ? Mode::kTile : Mode::kStretch}}));
    }
}

TEST(VtSkinDib, OneZeroMarginLeavesItsPartsUncut) {
    CVtSkinDIB skin;
    skin.Slice(Numbered(6, 6), {.left = 0, .right = 2, .top = 2, .bottom = 2}, false, false);
    EXPECT_TRUE(skin.Part(SkinPart::kTopLeft).IsEmpty());
    EXPECT_TRUE(skin.Part(SkinPart::kLeft).IsEmpty());
    EXPECT_TRUE(skin.Part(SkinPart::kBottomLeft).IsEmpty());
    EXPECT_EQ(skin.Layout({0, 0, 20, 20}).size(), 6u);
}

TEST(VtSkinDib, ClipSkipsPartsOutsideAndKeepsOthersWhole) {
    CVtSkinDIB skin;
    skin.Slice(Numbered(9, 9), {3, 3, 3, 3}, false, false);
    const PixelRect clip{0, 0, 5, 2}; // the top-left corner and the top edge only
    auto steps = skin.Layout({0, 0, 30, 30}, &clip);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].part, SkinPart::kTopLeft);
    EXPECT_EQ(steps[1], (SkinStep{SkinPart::kTop, {3, 0, 27, 3}, Mode::kStretch}));
}

TEST(VtSkinDib, ARectangleSmallerThanTheMarginsDrawsNoInvertedParts) {
    CVtSkinDIB skin;
    skin.Slice(Numbered(9, 9), {3, 3, 3, 3}, false, false);
    for (const SkinStep& step : skin.Layout({0, 0, 4, 4})) {
        EXPECT_FALSE(step.area.IsEmpty());
        EXPECT_NE(step.mode, Mode::kStretch) << "part " << static_cast<int>(step.part);
    }
    // Margins past the picture are clamped to it when cut, and huge margins
    // neither overflow nor give inverted areas.
    skin.Slice(Numbered(4, 4), {0xFFFFFFFFu, 0xFFFFFFFFu, 5, 5}, true, true);
    EXPECT_EQ(skin.Part(SkinPart::kTopLeft).Width(), 4);
    EXPECT_TRUE(skin.Part(SkinPart::kCentre).IsEmpty());
    for (const SkinStep& step : skin.Layout({0, 0, 100, 100})) {
        EXPECT_FALSE(step.area.IsEmpty());
        EXPECT_EQ(step.mode, Mode::kNatural);
    }
}

} // namespace
} // namespace kelvo
