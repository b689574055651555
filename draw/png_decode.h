#pragma once
// PNG decoding to 32-bit pixels: blue, green, red, alpha (8 bits each,
// alpha not premultiplied), rows bottom-up. Palette, grey, 16-bit and
// transparency-chunk images all come out in this one form.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelvo {

// The largest picture accepted: 64 Mpixel, 256 MB of pixels.
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 26;

struct DecodedImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels; // 0xAARRGGBB, so the bytes in memory are B, G, R, A
};

// Refuses (nullopt) anything that is not a whole, valid PNG, and a picture
// larger than kMaxImagePixels or than the compressed data in the file can
// hold, before allocating its pixels.
std::optional<DecodedImage> DecodePng(const void* bytes, std::size_t length);

} // namespace kelvo
