#include "draw/resample.h"

#include <algorithm>
#include <cstddef>

namespace kelvo {

namespace {

constexpr std::uint32_t Channel(std::uint32_t pixel, int index) {
    return (pixel >> (8 * index)) & 0xFF;
}

} // namespace

std::vector<std::uint32_t> AreaAverage(const std::uint32_t* source, std::int32_t width,
                                       std::int32_t height, std::int32_t new_width,
                                       std::int32_t new_height) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(new_width) *
                                   static_cast<std::size_t>(new_height));
    // Sums per destination column; 64 bits so that even a whole 64-Mpixel
    // picture reduced to one pixel cannot overflow them.
    struct Sum {
        std::uint64_t channel[4];
        std::uint64_t count;
    };
    std::vector<Sum> sums(static_cast<std::size_t>(new_width), Sum{});
    std::int64_t row_acc = 0;
    std::size_t out_row = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        row_acc += new_height;
        const std::uint32_t* row = source + static_cast<std::size_t>(y) * width;
        std::int64_t col_acc = 0;
        std::size_t column = 0;
        for (std::int32_t x = 0; x < width; ++x) {
            Sum& sum = sums[column];
            for (int c = 0; c < 4; ++c)
                sum.channel[c] += Channel(row[x], c);
            ++sum.count;
            col_acc += new_width;
            if (col_acc > width) {
                ++column;
                col_acc -= width;
            }
        }
        if (row_acc >= height) {
            row_acc -= height;
            // Every column and every emitted row receives at least one source
            // pixel, because the accumulators advance by less than one step
            // per pixel; so the counts are never 0.
            std::uint32_t* dest = out.data() + out_row * static_cast<std::size_t>(new_width);
            for (std::size_t i = 0; i < sums.size(); ++i) {
                std::uint32_t pixel = 0;
                for (int c = 0; c < 4; ++c)
                    pixel |= static_cast<std::uint32_t>(sums[i].channel[c] / sums[i].count)
                             << (8 * c);
                dest[i] = pixel;
                sums[i] = Sum{};
            }
            ++out_row;
        }
    }
    return out;
}

std::vector<std::uint32_t> Bilinear(const std::uint32_t* source, std::int32_t width,
                                    std::int32_t height, std::int32_t new_width,
                                    std::int32_t new_height) {
    new_width = std::max(new_width, 1);
    new_height = std::max(new_height, 1);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(new_width) *
                                   static_cast<std::size_t>(new_height));
    // Steps in 8.8 fixed point, computed in single precision and truncated.
    const auto step_x = static_cast<std::int64_t>(static_cast<float>(width) /
                                                  static_cast<float>(new_width) * 256.0f);
    const auto step_y = static_cast<std::int64_t>(static_cast<float>(height) /
                                                  static_cast<float>(new_height) * 256.0f);
    // The source column, its right neighbour and the fraction of every
    // destination column, worked out once for all rows.
    struct Column {
        std::int32_t ix, ix1;
        std::uint32_t fx;
        bool has_right;
    };
    std::vector<Column> columns(static_cast<std::size_t>(new_width));
    for (std::int32_t x = 0; x < new_width; ++x) {
        const std::int64_t pos_x = x * step_x;
        // Rounding of the step can never carry past the last column, but the
        // index is held to the picture all the same.
        const auto ix = static_cast<std::int32_t>(std::min<std::int64_t>(pos_x >> 8, width - 1));
        columns[static_cast<std::size_t>(x)] = {ix, ix < width - 1 ? ix + 1 : ix,
                                                static_cast<std::uint32_t>(pos_x & 0xFF),
                                                ix < width - 1};
    }
    std::uint32_t* dest = out.data();
    for (std::int32_t y = 0; y < new_height; ++y) {
        const std::int64_t pos_y = y * step_y;
        const auto iy = static_cast<std::int32_t>(std::min<std::int64_t>(pos_y >> 8, height - 1));
        const auto fy = static_cast<std::uint32_t>(pos_y & 0xFF);
        const bool has_below = iy < height - 1;
        const std::uint32_t* row0 = source + static_cast<std::size_t>(iy) * width;
        const std::uint32_t* row1 = has_below ? row0 + width : row0;
        for (const Column& col : columns) {
            const std::uint32_t fx = col.fx;
            const std::uint32_t s00 = row0[col.ix];
            const std::uint32_t s10 = row0[col.ix1];
            const std::uint32_t s01 = row1[col.ix];
            // The diagonal neighbour exists only when both others do.
            const std::uint32_t s11 = (col.has_right && has_below) ? row1[col.ix1] : s00;
            const std::uint32_t w11 = fx * fy / 256;
            const std::uint32_t w01 = (256 - fx) * fy / 256;
            const std::uint32_t w10 = fx * (256 - fy) / 256;
            const std::uint32_t w00 = (256 - fx) * (256 - fy) / 256;
            // c * 256 * w / 256 is exactly c * w, so each channel is
            // (sum of c * w) / 256. Two channels go at a time, 16 bits apart:
            // a lane's sum is at most 255 * 256, so lanes cannot carry.
            auto mix = [&](int shift) {
                auto lane = [shift](std::uint32_t p) { return (p >> shift) & 0x00FF00FFu; };
                const std::uint32_t sum =
                    lane(s11) * w11 + lane(s01) * w01 + lane(s10) * w10 + lane(s00) * w00;
                return ((sum >> 8) & 0x00FF00FFu) << shift;
            };
            *dest++ = mix(0) | mix(8);
        }
    }
    return out;
}

} // namespace kelvo
