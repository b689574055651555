#include "draw/vt_dib.h"

#include <algorithm>
#include <utility>

#include "draw/png_decode.h"
#include "draw/resample.h"

namespace kelvo {

CVtDIB::CVtDIB(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels) {
    if (width > 0 && height > 0 &&
        pixels.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        Assign(width, height, std::move(pixels));
}

void CVtDIB::Assign(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels) {
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
}

void CVtDIB::Clear() noexcept {
    m_pixels.clear();
    m_pixels.shrink_to_fit();
    m_width = 0;
    m_height = 0;
}

bool CVtDIB::LoadFromMemory(const void* bytes, std::size_t length) {
    auto decoded = DecodePng(bytes, length);
    if (!decoded)
        return false;
    Assign(decoded->width, decoded->height, std::move(decoded->pixels));
    Premultiply();
    return true;
}

void CVtDIB::Premultiply() {
    for (std::uint32_t& pixel : m_pixels) {
        std::uint32_t alpha = pixel >> 24;
        std::uint32_t b = (pixel & 0xFF) * alpha / 255;
        std::uint32_t g = ((pixel >> 8) & 0xFF) * alpha / 255;
        std::uint32_t r = ((pixel >> 16) & 0xFF) * alpha / 255;
        pixel = (alpha << 24) | (r << 16) | (g << 8) | b;
    }
}

// The part is built before the destination is touched, so the destination
// may be this picture.
bool CVtDIB::Crop(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                  CVtDIB& target) const {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width);
    bottom = std::min(bottom, m_height);
    if (std::int64_t{right} - left < 1 || std::int64_t{bottom} - top < 1) {
        target.m_opacity = m_opacity;
        target.Clear();
        return false;
    }
    const std::int32_t w = right - left, h = bottom - top;
    std::vector<std::uint32_t> part(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    // Rows are stored bottom-up: the part's lowest row is row height - bottom.
    for (std::int32_t row = 0; row < h; ++row) {
        auto from = m_pixels.begin() +
                    static_cast<std::ptrdiff_t>(m_height - bottom + row) * m_width + left;
        std::copy(from, from + w, part.begin() + static_cast<std::ptrdiff_t>(row) * w);
    }
    target.Assign(w, h, std::move(part));
    target.m_opacity = m_opacity;
    return true;
}

bool CVtDIB::Resize(std::int32_t new_width, std::int32_t new_height, CVtDIB& target) const {
    if (new_width < 1 || new_height < 1 || IsEmpty() ||
        std::uint64_t(new_width) * std::uint64_t(new_height) > kMaxImagePixels)
        return false;
    auto resized = new_width < m_width && new_height < m_height
                       ? AreaAverage(m_pixels.data(), m_width, m_height, new_width, new_height)
                       : Bilinear(m_pixels.data(), m_width, m_height, new_width, new_height);
    target.Assign(new_width, new_height, std::move(resized));
    target.m_opacity = m_opacity;
    return true;
}

} // namespace kelvo
