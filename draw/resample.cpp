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
    std::uint32_t* dest = out.data();
    for (std::int32_t y = 0; y < new_height; ++y) {
        const std::int64_t pos_y = y * step_y;
        // Rounding of the step can never carry past the last row, but the
        // index is held to the picture all the same.
        const auto iy = static_cast<std::int32_t>(std::min<std::int64_t>(pos_y >> 8, height - 1));
        const auto fy = static_cast<std::uint32_t>(pos_y & 0xFF);
        const std::int32_t iy1 = iy < height - 1 ? iy + 1 : iy;
        const std::uint32_t* row0 = source + static_cast<std::size_t>(iy) * width;
        const std::uint32_t* row1 = source + static_cast<std::size_t>(iy1) * width;
        for (std::int32_t x = 0; x < new_width; ++x) {
            const std::int64_t pos_x = x * step_x;
            const auto ix =
                static_cast<std::int32_t>(std::min<std::int64_t>(pos_x >> 8, width - 1));
            const auto fx = static_cast<std::uint32_t>(pos_x & 0xFF);
            const std::int32_t ix1 = ix < width - 1 ? ix + 1 : ix;
            const std::uint32_t s00 = row0[ix];
            const std::uint32_t s10 = row0[ix1];
            const std::uint32_t s01 = row1[ix];
            // The diagonal neighbour exists only when both others do.
            const std::uint32_t s11 = (ix < width - 1 && iy < height - 1) ? row1[ix1] : s00;
            const std::uint32_t w11 = fx * fy / 256;
            const std::uint32_t w01 = (256 - fx) * fy / 256;
            const std::uint32_t w10 = fx * (256 - fy) / 256;
            const std::uint32_t w00 = (256 - fx) * (256 - fy) / 256;
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) {
                // c * 256 * w / 256 is exactly c * w, so the weighted sum is
                // taken directly.
                std::uint32_t value = (Channel(s11, c) * w11 + Channel(s01, c) * w01 +
                                       Channel(s10, c) * w10 + Channel(s00, c) * w00) /
                                      256;
                pixel |= value << (8 * c);
            }
            *dest++ = pixel;
        }
    }
    return out;
}

} // namespace kelvo
