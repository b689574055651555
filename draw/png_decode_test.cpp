#include "draw/png_decode.h"

#include <gtest/gtest.h>

#include "draw/test_pixels.h"
#include "draw/test_png.h"
#include "draw/vt_dib.h"

namespace kelvo {
namespace {

using testing::Argb;
using testing::At;
using testing::Bytes;
using testing::PngChunk;
using testing::SimplePng;

struct ColourCase {
    const char* name;
    Bytes png;
    std::uint32_t left, right; // the two pixels of a 2 x 1 picture, premultiplied
};

std::vector<ColourCase> ColourCases() {
    const PngChunk palette{"PLTE", {255, 0, 0, 0, 128, 255, 10, 20, 30}};
    return {
        {"rgb 8-bit is opaque", SimplePng(2, 1, 8, 2, {{200, 100, 50, 1, 2, 3}}),
         Argb(255, 200, 100, 50), Argb(255, 1, 2, 3)},
        {"palette 8-bit is opaque", SimplePng(2, 1, 8, 3, {{1, 2}}, {palette}),
         Argb(255, 0, 128, 255), Argb(255, 10, 20, 30)},
        {"palette 2-bit", SimplePng(2, 1, 2, 3, {{0b00'10'0000}}, {palette}), Argb(255, 255, 0, 0),
         Argb(255, 10, 20, 30)},
        {"palette with transparency",
         SimplePng(2, 1, 8, 3, {{0, 1}}, {palette, {"tRNS", {0, 128}}}), Argb(0, 0, 0, 0),
         Argb(128, 0, 64, 128)},
        {"grey 1-bit", SimplePng(2, 1, 1, 0, {{0b10'000000}}), Argb(255, 255, 255, 255),
         Argb(255, 0, 0, 0)},
        {"grey 8-bit with a transparent key", SimplePng(2, 1, 8, 0, {{7, 9}}, {{"tRNS", {0, 7}}}),
         Argb(0, 0, 0, 0), Argb(255, 9, 9, 9)},
        {"grey and alpha", SimplePng(2, 1, 8, 4, {{200, 255, 200, 51}}), Argb(255, 200, 200, 200),
         Argb(51, 40, 40, 40)},
        {"rgb with a transparent key",
         SimplePng(2, 1, 8, 2, {{1, 2, 3, 4, 5, 6}}, {{"tRNS", {0, 4, 0, 5, 0, 6}}}),
         Argb(255, 1, 2, 3), Argb(0, 0, 0, 0)},
        {"rgba: alpha 0 turns black, alpha 128 halves",
         SimplePng(2, 1, 8, 6, {{200, 100, 50, 0, 200, 100, 50, 128}}), Argb(0, 0, 0, 0),
         Argb(128, 100, 50, 25)},
        {"rgb 16-bit", SimplePng(2, 1, 16, 2, {{0xFF, 0xFF, 0, 0, 0x80, 0x80, 0, 0, 0, 0, 0, 0}}),
         Argb(255, 255, 0, 128), Argb(255, 0, 0, 0)},
        {"rgba 16-bit",
         SimplePng(2, 1, 16, 6,
                   {{0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, //
                     0xFF, 0xFF, 0, 0, 0, 0, 0, 0}}),
         Argb(255, 0, 255, 0), Argb(0, 0, 0, 0)},
    };
}

TEST(PngDecode, EveryColourTypeBecomesPremultiplied32Bit) {
    for (const ColourCase& c : ColourCases()) {
        SCOPED_TRACE(c.name);
        CVtDIB image;
        ASSERT_TRUE(image.LoadFromMemory(c.png.data(), c.png.size()));
        ASSERT_EQ(image.Width(), 2);
        ASSERT_EQ(image.Height(), 1);
        EXPECT_EQ(image.Pixels()[0], c.left) << std::hex << image.Pixels()[0];
        EXPECT_EQ(image.Pixels()[1], c.right) << std::hex << image.Pixels()[1];
    }
}

TEST(PngDecode, RowsAreStoredBottomUp) {
    Bytes png = SimplePng(1, 3, 8, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
    auto decoded = DecodePng(png.data(), png.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pixels,
              (std::vector<std::uint32_t>{Argb(255, 0, 0, 255), Argb(255, 0, 255, 0),
                                          Argb(255, 255, 0, 0)}));
    // Decoding alone leaves alpha straight.
    Bytes half = SimplePng(1, 1, 8, 6, {{200, 100, 50, 128}});
    EXPECT_EQ(DecodePng(half.data(), half.size())->pixels[0], Argb(128, 200, 100, 50));
}

Bytes Truncated(Bytes png, std::size_t keep) {
    png.resize(keep);
    return png;
}

TEST(PngDecode, RefusesBrokenFilesAndKeepsThePicture) {
    const Bytes good = SimplePng(4, 4, 8, 6, std::vector<Bytes>(4, Bytes(16, 0x7F)));
    Bytes bad_crc = good;
    bad_crc[good.size() - 20] ^= 0x01; // inside the IDAT data, so its CRC fails
    Bytes bad_zlib = testing::PngFile({{"IHDR", testing::IhdrData(4, 4, 8, 6)},
                                       {"IDAT", {0x78, 0x01, 0xFF, 0xFF, 0xFF}},
                                       {"IEND", {}}});
    Bytes short_rows = SimplePng(4, 4, 8, 6, std::vector<Bytes>(2, Bytes(16, 0x7F)));
    Bytes no_header = testing::PngFile({{"IDAT", testing::ZlibStored(Bytes(17, 0))}});
    Bytes bad_depth = SimplePng(1, 1, 3, 2, {{0}});
    Bytes jpeg_like = {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F', 0};
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"signature only", Truncated(good, 8)},
        {"cut after the header", Truncated(good, 33)},
        {"cut inside the image data", Truncated(good, good.size() - 30)},
        {"cut before the end chunk", Truncated(good, good.size() - 12)},
        {"image data with a wrong CRC", bad_crc},
        {"image data that is not zlib", bad_zlib},
        {"fewer rows than the header says", short_rows},
        {"no header chunk", no_header},
        {"impossible bit depth", bad_depth},
        {"not a PNG", jpeg_like},
    };
    const Bytes kept = SimplePng(1, 1, 8, 2, {{1, 2, 3}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVtDIB image;
        ASSERT_TRUE(image.LoadFromMemory(kept.data(), kept.size()));
        EXPECT_FALSE(image.LoadFromMemory(c.bytes.data(), c.bytes.size()));
        EXPECT_EQ(image.Width(), 1);
        EXPECT_EQ(image.Pixels()[0], Argb(255, 1, 2, 3));
    }
    EXPECT_FALSE(DecodePng(nullptr, 10));
}

TEST(PngDecode, RefusesSizesTheFileCannotHold) {
    // The header alone may claim any size; a few bytes of data do not fill it.
    for (auto [w, h] : {std::pair{100000u, 100000u}, {4000u, 4000u}, {1u, 0x7FFFFFFFu}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        Bytes png = SimplePng(w, h, 8, 6, {Bytes(64, 0)});
        EXPECT_FALSE(DecodePng(png.data(), png.size()));
    }
}

TEST(PngDecode, DataCompressedAsFarAsDeflateGoesStillDecodes) {
    // 1-bit black rows: all zero bytes, zlib's best ratio, near deflate's limit.
    const std::uint32_t side = 2048;
    Bytes idat = testing::ZlibCompressed(
        testing::FilteredRows(std::vector<Bytes>(side, Bytes(side / 8, 0))));
    ASSERT_GT(side * side / 8 / idat.size(), 900u);
    Bytes png = testing::PngFile(
        {{"IHDR", testing::IhdrData(side, side, 1, 0)}, {"IDAT", idat}, {"IEND", {}}});
    auto decoded = DecodePng(png.data(), png.size());
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->pixels.size(), std::size_t{side} * side);
    EXPECT_EQ(decoded->pixels.front(), Argb(255, 0, 0, 0));
    EXPECT_EQ(decoded->pixels.back(), Argb(255, 0, 0, 0));
}

} // namespace
} // namespace kelvo
