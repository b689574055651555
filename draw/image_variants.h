#pragma once
// Choosing among the sizes an image is drawn at: the program's images come
// as square variants, and the one drawn is reduced (never enlarged when a
// larger one exists) to the size needed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace kelvo {

struct ImageSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The size a PNG's header gives; none when the bytes do not start with a PNG
// signature and its header chunk. Decodes nothing.
std::optional<ImageSize> ReadPngSize(const void* bytes, std::size_t length) noexcept;

// Among variants of the sides `sides`, the index of the smallest at least
// `needed` pixels, else of the largest; -1 without any.
int PickVariant(std::span<const int> sides, int needed) noexcept;

} // namespace kelvo
