#include "draw/image_variants.h"

#include <gtest/gtest.h>

#include <vector>

#include "draw/test_png.h"

namespace kelvo {
namespace {

TEST(PickVariant, TheSmallestLargeEnoughElseTheLargest) {
    const std::vector<int> sides = {24, 16, 32, 20};
    const struct {
        int needed;
        int side;
    } cases[] = {{16, 16}, {12, 16}, {18, 20}, {20, 20}, {21, 24}, {30, 32}, {48, 32}};
    for (const auto& c : cases)
        EXPECT_EQ(sides[static_cast<std::size_t>(PickVariant(sides, c.needed))], c.side)
            << "needed " << c.needed;
    EXPECT_EQ(PickVariant({}, 16), -1);
}

TEST(ReadPngSize, TheHeaderOnly) {
    // Three by five, grey: each row one byte per pixel.
    const testing::Bytes png =
        testing::SimplePng(3, 5, 8, 0, std::vector<testing::Bytes>(5, testing::Bytes(3, 0x80)));
    const auto size = ReadPngSize(png.data(), png.size());
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 3);
    EXPECT_EQ(size->height, 5);
    // Cut inside the header, a wrong signature, a zero width.
    EXPECT_FALSE(ReadPngSize(png.data(), 23));
    testing::Bytes broken = png;
    broken[1] = 'X';
    EXPECT_FALSE(ReadPngSize(broken.data(), broken.size()));
    broken = png;
    for (int i = 16; i < 20; ++i)
        broken[static_cast<std::size_t>(i)] = 0;
    EXPECT_FALSE(ReadPngSize(broken.data(), broken.size()));
    EXPECT_FALSE(ReadPngSize(nullptr, 100));
}

} // namespace
} // namespace kelvo
