#include "draw/tile_layout.h"

#include <vector>

#include <gtest/gtest.h>

namespace kelvo {
namespace {

std::vector<TileCopy> Copies(int w, int h, PixelRect area, const PixelRect* clip = nullptr) {
    std::vector<TileCopy> copies;
    ForEachTileCopy(w, h, area, clip, [&](const TileCopy& c) { copies.push_back(c); });
    return copies;
}

TEST(TileLayout, TenWideOverTwentyFiveDrawsTenTenAndFive) {
    auto copies = Copies(10, 4, {3, 7, 28, 11});
    EXPECT_EQ(copies,
              (std::vector<TileCopy>{
                  {{3, 7, 13, 11}, 0, 0}, {{13, 7, 23, 11}, 0, 0}, {{23, 7, 28, 11}, 0, 0}}));
}

TEST(TileLayout, RowsAreCutAtTheBottom) {
    auto copies = Copies(10, 10, {0, 0, 15, 25});
    ASSERT_EQ(copies.size(), 6u);
    EXPECT_EQ(copies[1].dest, (PixelRect{10, 0, 15, 10}));
    EXPECT_EQ(copies[5].dest, (PixelRect{10, 20, 15, 25}));
}

TEST(TileLayout, ClipCutsCopiesAndSkipsThoseOutside) {
    const PixelRect clip{12, 3, 22, 5};
    EXPECT_EQ(Copies(10, 10, {0, 0, 25, 15}, &clip),
              (std::vector<TileCopy>{{{12, 3, 20, 5}, 2, 3}, {{20, 3, 22, 5}, 0, 3}}));
    const PixelRect outside{30, 0, 40, 10};
    EXPECT_TRUE(Copies(10, 10, {0, 0, 25, 15}, &outside).empty());
}

TEST(TileLayout, AHugeAreaUnderASmallClipVisitsOnlyTheClip) {
    const PixelRect clip{1000005, 2000000, 1000007, 2000001};
    auto copies = Copies(1, 1, {-2000000000, -2000000000, 2000000000, 2000000000}, &clip);
    EXPECT_EQ(copies.size(), 2u);
}

TEST(TileLayout, NothingForAnEmptyPictureOrArea) {
    EXPECT_TRUE(Copies(0, 5, {0, 0, 10, 10}).empty());
    EXPECT_TRUE(Copies(5, 5, {10, 0, 10, 10}).empty());
    EXPECT_TRUE(Copies(5, 5, {10, 10, 0, 0}).empty());
}

} // namespace
} // namespace kelvo
