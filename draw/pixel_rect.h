#pragma once
// A rectangle in device pixels, right and bottom exclusive, as the drawing
// code of the images uses it on every platform.

#include <algorithm>
#include <cstdint>

namespace kelvo {

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t Width() const noexcept { return right - left; }
    std::int32_t Height() const noexcept { return bottom - top; }
    bool IsEmpty() const noexcept { return right <= left || bottom <= top; }
    bool operator==(const PixelRect&) const = default;
};

// The common part of two rectangles; empty when they do not meet.
inline PixelRect Intersect(const PixelRect& a, const PixelRect& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

inline bool Meets(const PixelRect& a, const PixelRect& b) noexcept {
    return !Intersect(a, b).IsEmpty();
}

} // namespace kelvo
