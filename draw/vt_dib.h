#pragma once
// A 32-bit picture with alpha: decoded once from PNG, premultiplied, and
// then cropped, resized and (on Windows, see dib_draw.h) drawn.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kelvo {

class CVtDIB {
public:
    CVtDIB() = default;
    // Takes `pixels` as 0xAARRGGBB words, rows bottom-up; a count that does
    // not match the size gives an empty picture.
    CVtDIB(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels);

    // Decodes a PNG and premultiplies it. On failure returns false and keeps
    // the picture it held.
    bool LoadFromMemory(const void* bytes, std::size_t length);

    // Every colour channel becomes channel * alpha / 255, truncated.
    void Premultiply();

    // Copies the part (left, top)-(right, bottom), measured from the top-left
    // of the picture and clamped to it, into `destination` (which also takes
    // the opacity; it may be this picture). An empty part empties the
    // destination and answers false.
    bool Crop(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              CVtDIB& destination) const;
    bool Crop(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
        return Crop(left, top, right, bottom, *this);
    }

    // Scales to the new size into `destination` (which also takes the
    // opacity; it may be this picture): area averaging when both sides
    // shrink, bilinear resampling otherwise. Does nothing and answers false
    // for a side below 1, an empty picture or a result larger than the
    // largest picture accepted.
    bool Resize(std::int32_t new_width, std::int32_t new_height, CVtDIB& destination) const;
    bool Resize(std::int32_t new_width, std::int32_t new_height) {
        return Resize(new_width, new_height, *this);
    }

    void Clear() noexcept;

    bool IsEmpty() const noexcept { return m_pixels.empty(); }
    std::int32_t Width() const noexcept { return m_width; }
    std::int32_t Height() const noexcept { return m_height; }
    std::span<std::uint32_t> Pixels() noexcept { return m_pixels; }
    std::span<const std::uint32_t> Pixels() const noexcept { return m_pixels; }

    // The constant alpha used when the picture is drawn whole.
    std::uint8_t Opacity() const noexcept { return m_opacity; }
    void SetOpacity(std::uint8_t opacity) noexcept { m_opacity = opacity; }

private:
    void Assign(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels);

    std::vector<std::uint32_t> m_pixels;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::uint8_t m_opacity = 255;
};

} // namespace kelvo
