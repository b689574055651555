#include "draw/image_variants.h"

#include <cstring>

namespace kelvo {
namespace {

std::uint32_t BigEndian32(const unsigned char* at) noexcept {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
           std::uint32_t{at[3]};
}

} // namespace

std::optional<ImageSize> ReadPngSize(const void* bytes, std::size_t length) noexcept {
    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // The signature, then the header chunk's length, type, width and height.
    if (!bytes || length < 24)
        return std::nullopt;
    const auto* data = static_cast<const unsigned char*>(bytes);
    if (std::memcmp(data, kSignature, sizeof kSignature) != 0 || std::memcmp(data + 12, "IHDR", 4))
        return std::nullopt;
    const std::uint32_t width = BigEndian32(data + 16);
    const std::uint32_t height = BigEndian32(data + 20);
    // The format's limit, which also keeps the values positive.
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return std::nullopt;
    return ImageSize{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

int PickVariant(std::span<const int> sides, int needed) noexcept {
    int fitting = -1, largest = -1;
    for (std::size_t i = 0; i < sides.size(); ++i) {
        const int side = sides[i];
        if (side >= needed && (fitting < 0 || side < sides[static_cast<std::size_t>(fitting)]))
            fitting = static_cast<int>(i);
        if (largest < 0 || side > sides[static_cast<std::size_t>(largest)])
            largest = static_cast<int>(i);
    }
    return fitting >= 0 ? fitting : largest;
}

} // namespace kelvo
