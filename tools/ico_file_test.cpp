#include "tools/ico_file.h"

#include <cstring>

#include <gtest/gtest.h>

namespace kelvo::tools {
namespace {

unsigned U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}

struct Square {
    explicit Square(int size)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size)) {}
    ~Square() { cairo_surface_destroy(surface); }
    void Set(int x, int y, std::uint32_t argb) {
        cairo_surface_flush(surface);
        auto* row =
            cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        reinterpret_cast<std::uint32_t*>(row)[x] = argb;
        cairo_surface_mark_dirty(surface);
    }
    cairo_surface_t* surface;
};

TEST(IcoFile, DirectoryBitmapAndPngEntries) {
    Square small(16), big(256);
    small.Set(0, 0, 0x80400000); // top-left: red 0x40 at half alpha, premultiplied
    auto ico = BuildIcoFile({small.surface, big.surface});
    ASSERT_GE(ico.size(), 6u + 32u);
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u);
    EXPECT_EQ(U16(ico, 4), 2u);

    // 16-pixel entry: a bitmap with doubled height, colour rows then mask.
    EXPECT_EQ(ico[6], 16);
    EXPECT_EQ(U16(ico, 6 + 6), 32u);
    std::uint32_t size16 = U32(ico, 6 + 8), at16 = U32(ico, 6 + 12);
    EXPECT_EQ(at16, 6u + 32u);
    EXPECT_EQ(size16, 40u + 16u * 16u * 4u + 16u * 4u);
    EXPECT_EQ(U32(ico, at16), 40u);
    EXPECT_EQ(U32(ico, at16 + 8), 32u);
    // The top-left pixel is stored in the last colour row, unpremultiplied.
    std::size_t top_left = at16 + 40 + 15 * 16 * 4;
    EXPECT_EQ(U32(ico, top_left), 0x80800000u);
    // Mask: top row (stored last) marks every pixel but the first transparent.
    std::size_t mask = at16 + 40 + 16 * 16 * 4;
    EXPECT_EQ(ico[mask + 15 * 4], 0x7F);
    EXPECT_EQ(ico[mask + 15 * 4 + 1], 0xFF);
    EXPECT_EQ(ico[mask], 0xFF);

    // 256-pixel entry: width and height written as 0, the data a PNG.
    EXPECT_EQ(ico[6 + 16], 0);
    EXPECT_EQ(ico[6 + 16 + 1], 0);
    std::uint32_t at256 = U32(ico, 6 + 16 + 12);
    EXPECT_EQ(at256, at16 + size16);
    EXPECT_EQ(at256 + U32(ico, 6 + 16 + 8), ico.size());
    EXPECT_EQ(std::memcmp(ico.data() + at256, "\x89PNG\r\n\x1a\n", 8), 0);
}

TEST(IcoFile, RefusesImagesThatCannotBeIcons) {
    Square ok(16);
    cairo_surface_t* wide = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 16);
    cairo_surface_t* rgb = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 16, 16);
    cairo_surface_t* huge = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 512, 512);
    EXPECT_TRUE(BuildIcoFile({}).empty());
    EXPECT_TRUE(BuildIcoFile({ok.surface, wide}).empty());
    EXPECT_TRUE(BuildIcoFile({rgb}).empty());
    EXPECT_TRUE(BuildIcoFile({huge}).empty());
    cairo_surface_destroy(wide);
    cairo_surface_destroy(rgb);
    cairo_surface_destroy(huge);
}

} // namespace
} // namespace kelvo::tools
