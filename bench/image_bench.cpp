// Images: PNG decoding against libpng's own decoding of the same file;
// area averaging against one pass adding up every source channel; bilinear
// resampling against a nearest-pixel copy to the same size.

#include <png.h>

#include <cstdint>
#include <vector>

#include "bench/bench.h"
#include "draw/resample.h"
#include "draw/test_png.h"
#include "draw/vt_dib.h"

namespace {

using kelvo::testing::Bytes;

// A 256 x 256 RGBA picture with smooth gradients and some noise, compressed
// by zlib, as drawn artwork is.
Bytes ArtworkPng(std::uint32_t side) {
    std::vector<Bytes> rows;
    std::uint32_t noise = 12345;
    for (std::uint32_t y = 0; y < side; ++y) {
        Bytes row;
        for (std::uint32_t x = 0; x < side; ++x) {
            noise = noise * 1103515245 + 12345;
            row.insert(row.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                   static_cast<std::uint8_t>((x + y) / 2 + (noise >> 29)),
                                   static_cast<std::uint8_t>(255 - x / 2)});
        }
        rows.push_back(row);
    }
    return kelvo::testing::PngFile(
        {{"IHDR", kelvo::testing::IhdrData(side, side, 8, 6)},
         {"IDAT", kelvo::testing::ZlibCompressed(kelvo::testing::FilteredRows(rows))},
         {"IEND", {}}});
}

// libpng's simplified decoding alone, to the same 32-bit format.
void BareDecode(const Bytes& png, std::vector<std::uint32_t>& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return;
    image.format = PNG_FORMAT_BGRA;
    out.resize(std::size_t{image.width} * image.height);
    png_image_finish_read(&image, nullptr, out.data(), 0, nullptr);
}

std::vector<std::uint32_t> Nearest(const std::uint32_t* source, int width, int height,
                                   int new_width, int new_height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(new_width) * new_height);
    for (int y = 0; y < new_height; ++y)
        for (int x = 0; x < new_width; ++x)
            out[static_cast<std::size_t>(y) * new_width + x] =
                source[static_cast<std::size_t>(y * height / new_height) * width +
                       x * width / new_width];
    return out;
}

std::uint64_t AddChannels(const std::uint32_t* source, std::size_t count) {
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += (source[i] & 0xFF) + ((source[i] >> 8) & 0xFF) + ((source[i] >> 16) & 0xFF) +
                 (source[i] >> 24);
    return total;
}

void RunImageBench() {
    using kelvo::bench::MedianMicros;
    using kelvo::bench::Report;
    const int runs = kelvo::bench::Sized(31, 1);
    const Bytes png = ArtworkPng(256);
    std::vector<std::uint32_t> bare;
    double floor = MedianMicros(runs, [&] { BareDecode(png, bare); });
    kelvo::CVtDIB image;
    double decode = MedianMicros(runs, [&] { image.LoadFromMemory(png.data(), png.size()); });
    Report("image", "decode-256", png.size(), decode, floor, 0);

    const auto* pixels = image.Pixels().data();
    std::vector<std::uint32_t> sink;
    volatile std::uint64_t total = 0;
    floor = MedianMicros(runs, [&] { total = AddChannels(pixels, 256 * 256); });
    double area = MedianMicros(runs, [&] { sink = kelvo::AreaAverage(pixels, 256, 256, 48, 48); });
    Report("image", "area-average-256-to-48", 256 * 256, area, floor, 0);

    floor = MedianMicros(runs, [&] { sink = Nearest(pixels, 256, 256, 512, 512); });
    double bilinear =
        MedianMicros(runs, [&] { sink = kelvo::Bilinear(pixels, 256, 256, 512, 512); });
    Report("image", "bilinear-256-to-512", 512 * 512, bilinear, floor, 0);
}

} // namespace

KELVO_BENCH_AREA("image", RunImageBench);
