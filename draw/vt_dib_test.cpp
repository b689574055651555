#include "draw/vt_dib.h"

#include <gtest/gtest.h>

#include "draw/test_pixels.h"

namespace kelvo {
namespace {

using testing::Argb;
using testing::At;

// A picture whose pixel at (x, y from the top) has red x, green y, blue 0
// and alpha 255, so that every pixel says where it came from.
CVtDIB Numbered(int width, int height) {
    std::vector<std::uint32_t> pixels;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            pixels.push_back(Argb(255, x, height - 1 - row, 0));
    return CVtDIB(width, height, pixels);
}

// A one-row picture holding `values` in its green channel (alpha 255).
CVtDIB Greens(std::vector<std::uint32_t> values, int width, int height) {
    for (auto& v : values)
        v = Argb(255, 0, v, 0);
    return CVtDIB(width, height, values);
}

std::uint32_t Green(std::uint32_t pixel) {
    return (pixel >> 8) & 0xFF;
}

TEST(VtDib, PremultiplyTruncates) {
    CVtDIB image(4, 1,
                 {Argb(0, 200, 100, 50), Argb(255, 200, 100, 50), Argb(128, 255, 1, 2),
                  Argb(254, 1, 255, 0)});
    image.Premultiply();
    EXPECT_EQ(image.Pixels()[0], Argb(0, 0, 0, 0)); // fully transparent turns black
    EXPECT_EQ(image.Pixels()[1], Argb(255, 200, 100, 50));
    EXPECT_EQ(image.Pixels()[2], Argb(128, 128, 0, 1));
    EXPECT_EQ(image.Pixels()[3], Argb(254, 0, 254, 0));
}

TEST(VtDib, ConstructorRefusesAPixelCountThatDoesNotMatch) {
    EXPECT_TRUE(CVtDIB(2, 2, {1, 2, 3}).IsEmpty());
    EXPECT_TRUE(CVtDIB(-1, -1, {1}).IsEmpty());
}

TEST(VtDib, CropMeasuresFromTheTopAndClamps) {
    const CVtDIB source = Numbered(5, 4);
    struct Case {
        int left, top, right, bottom;
        int w, h, first_x, first_y;
    } cases[] = {
        {1, 1, 3, 4, 2, 3, 1, 1},     // inside
        {-5, -5, 2, 1, 2, 1, 0, 0},   // clamped at the top-left
        {3, 2, 100, 100, 2, 2, 3, 2}, // clamped at the bottom-right
        {0, 0, 5, 4, 5, 4, 0, 0},     // the whole picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.left << "," << c.top << "," << c.right << "," << c.bottom);
        CVtDIB part;
        ASSERT_TRUE(source.Crop(c.left, c.top, c.right, c.bottom, part));
        ASSERT_EQ(part.Width(), c.w);
        ASSERT_EQ(part.Height(), c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                ASSERT_EQ(At(part, x, y), Argb(255, c.first_x + x, c.first_y + y, 0));
    }
}

TEST(VtDib, CropGivesOpacityAndEmptiesOnAnEmptyResult) {
    CVtDIB source = Numbered(4, 4);
    source.SetOpacity(99);
    CVtDIB target = Numbered(2, 2);
    ASSERT_TRUE(source.Crop(1, 1, 2, 2, target));
    EXPECT_EQ(target.Opacity(), 99);
    EXPECT_EQ(At(target, 0, 0), Argb(255, 1, 1, 0));

    for (auto [l, t, r, b] : {std::array{2, 0, 2, 4}, {0, 3, 4, 3}, {5, 0, 9, 4}, {3, 1, 1, 2}}) {
        CVtDIB out = Numbered(2, 2);
        EXPECT_FALSE(source.Crop(l, t, r, b, out));
        EXPECT_TRUE(out.IsEmpty());
        EXPECT_EQ(out.Width(), 0);
    }

    // In place.
    ASSERT_TRUE(source.Crop(2, 0, 4, 1));
    EXPECT_EQ(source.Width(), 2);
    EXPECT_EQ(source.Height(), 1);
    EXPECT_EQ(At(source, 1, 0), Argb(255, 3, 0, 0));
}

TEST(VtDib, AreaAveragingFourByTwoToTwoByOne) {
    // Source columns 0 to 2 of both rows make the first pixel, column 3 the
    // second.
    CVtDIB image = Greens({10, 20, 30, 200, 40, 50, 61, 100}, 4, 2);
    ASSERT_TRUE(image.Resize(2, 1));
    ASSERT_EQ(image.Width(), 2);
    ASSERT_EQ(image.Height(), 1);
    EXPECT_EQ(image.Pixels()[0], Argb(255, 0, (10 + 20 + 30 + 40 + 50 + 61) / 6, 0));
    EXPECT_EQ(image.Pixels()[1], Argb(255, 0, (200 + 100) / 2, 0));
}

TEST(VtDib, AreaAveragingThreeByThreeToTwoByTwo) {
    // Rows and columns split {0, 1} and {2}, walking from stored row 0.
    CVtDIB image = Greens({1, 2, 100, //
                           4, 6, 50,  //
                           9, 20, 7},
                          3, 3);
    CVtDIB out;
    ASSERT_TRUE(image.Resize(2, 2, out));
    EXPECT_EQ(Green(out.Pixels()[0]), (1 + 2 + 4 + 6) / 4u);
    EXPECT_EQ(Green(out.Pixels()[1]), (100 + 50) / 2u);
    EXPECT_EQ(Green(out.Pixels()[2]), (9 + 20) / 2u);
    EXPECT_EQ(Green(out.Pixels()[3]), 7u);
    EXPECT_EQ(image.Width(), 3); // the source is untouched
}

TEST(VtDib, BilinearEnlargesOneRow) {
    // Steps of 128/256: the second pixel is the truncated mean, and the right
    // edge repeats the last pixel.
    CVtDIB image(2, 1, {Argb(255, 0, 100, 10), Argb(255, 255, 201, 11)});
    ASSERT_TRUE(image.Resize(4, 1));
    EXPECT_EQ(image.Pixels()[0], Argb(255, 0, 100, 10));
    EXPECT_EQ(image.Pixels()[1], Argb(255, 127, 150, 10));
    EXPECT_EQ(image.Pixels()[2], Argb(255, 255, 201, 11));
    EXPECT_EQ(image.Pixels()[3], Argb(255, 255, 201, 11));
}

TEST(VtDib, BilinearTwoByTwoToThreeByThree) {
    // Step 170: the middle pixel weighs the four corners 28, 57, 57 and 112
    // (they add up to 254, so even alpha 255 comes out at 253).
    CVtDIB image = Greens({100, 200, //
                           50, 250},
                          2, 2);
    ASSERT_TRUE(image.Resize(3, 3));
    const auto middle = image.Pixels()[4];
    EXPECT_EQ(Green(middle), (250 * 112 + 50 * 57 + 200 * 57 + 100 * 28) / 256u);
    EXPECT_EQ(middle >> 24, 255u * 254u / 256u);
    EXPECT_EQ(Green(image.Pixels()[0]), 100u);
    // The last pixel reads (1, 1) four times (no neighbours past the edge)
    // with fx = fy = 84, whose truncated weights again add up to 254.
    EXPECT_EQ(Green(image.Pixels()[8]), 250u * 254u / 256u);
}

TEST(VtDib, ResizeChoosesBilinearUnlessBothSidesShrink) {
    // Shrinking only the width samples columns 0 and 2 instead of averaging.
    CVtDIB image = Greens({10, 20, 30, 40, 10, 20, 30, 40}, 4, 2);
    ASSERT_TRUE(image.Resize(2, 2));
    EXPECT_EQ(Green(image.Pixels()[0]), 10u);
    EXPECT_EQ(Green(image.Pixels()[1]), 30u);

    // The same size is an exact copy.
    const CVtDIB source = Numbered(7, 5);
    CVtDIB same;
    ASSERT_TRUE(source.Resize(7, 5, same));
    EXPECT_TRUE(std::equal(same.Pixels().begin(), same.Pixels().end(), source.Pixels().begin()));
}

TEST(VtDib, ResizeRefusesImpossibleSizes) {
    CVtDIB image = Numbered(3, 3);
    image.SetOpacity(7);
    for (auto [w, h] : {std::pair{0, 3}, {3, 0}, {-1, -1}, {1 << 16, 1 << 16}}) {
        CVtDIB out = Numbered(1, 1);
        EXPECT_FALSE(image.Resize(w, h, out));
        EXPECT_EQ(out.Width(), 1);
    }
    EXPECT_FALSE(CVtDIB().Resize(2, 2));
    CVtDIB out;
    ASSERT_TRUE(image.Resize(6, 6, out));
    EXPECT_EQ(out.Opacity(), 7);
}

} // namespace
} // namespace kelvo
