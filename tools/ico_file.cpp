#include "tools/ico_file.h"

#include <cstddef>

namespace kelvo::tools {

namespace {

void PutU8(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
}
void PutU16(std::vector<std::uint8_t>& out, unsigned value) {
    PutU8(out, value & 0xFF);
    PutU8(out, (value >> 8) & 0xFF);
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

std::vector<std::uint8_t> EncodePng(cairo_surface_t* image) {
    std::vector<std::uint8_t> png;
    if (cairo_surface_write_to_png_stream(image, AppendBytes, &png) != CAIRO_STATUS_SUCCESS)
        return {};
    return png;
}

// The pixel at (x, y) from the top, straight (not premultiplied) BGRA.
std::uint32_t StraightPixel(cairo_surface_t* image, int x, int y) {
    const auto* row = cairo_image_surface_get_data(image) +
                      static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(image);
    std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[x];
    std::uint32_t a = argb >> 24;
    if (a == 0)
        return 0;
    auto unmultiply = [a](std::uint32_t c) { return (c * 255 + a / 2) / a; };
    std::uint32_t r = unmultiply((argb >> 16) & 0xFF);
    std::uint32_t g = unmultiply((argb >> 8) & 0xFF);
    std::uint32_t b = unmultiply(argb & 0xFF);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// BITMAPINFOHEADER, the colour rows and the AND mask rows, both bottom-up.
std::vector<std::uint8_t> EncodeBitmap(cairo_surface_t* image) {
    int size = cairo_image_surface_get_width(image);
    std::uint32_t mask_stride = static_cast<std::uint32_t>((size + 31) / 32 * 4);
    std::uint32_t colour_bytes = static_cast<std::uint32_t>(size * size * 4);
    std::uint32_t mask_bytes = mask_stride * static_cast<std::uint32_t>(size);

    std::vector<std::uint8_t> out;
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(size));
    PutU32(out, static_cast<std::uint32_t>(size * 2)); // colour rows plus mask rows
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0); // BI_RGB
    PutU32(out, colour_bytes + mask_bytes);
    for (int i = 0; i < 4; ++i)
        PutU32(out, 0);

    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x)
            PutU32(out, StraightPixel(image, x, y));
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(mask_stride, 0);
        for (int x = 0; x < size; ++x)
            if ((StraightPixel(image, x, y) >> 24) == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool IsIconImage(cairo_surface_t* image) {
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(image) != CAIRO_FORMAT_ARGB32)
        return false;
    int w = cairo_image_surface_get_width(image);
    return w >= 1 && w <= 256 && w == cairo_image_surface_get_height(image);
}

} // namespace

std::vector<std::uint8_t> BuildIcoFile(const std::vector<cairo_surface_t*>& images) {
    if (images.empty() || images.size() > 0xFFFF)
        return {};
    std::vector<std::vector<std::uint8_t>> encoded;
    for (cairo_surface_t* image : images) {
        if (!IsIconImage(image))
            return {};
        cairo_surface_flush(image);
        encoded.push_back(cairo_image_surface_get_width(image) == 256 ? EncodePng(image)
                                                                      : EncodeBitmap(image));
        if (encoded.back().empty())
            return {};
    }

    std::vector<std::uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1); // icon, not cursor
    PutU16(out, static_cast<unsigned>(images.size()));
    std::size_t offset = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        int size = cairo_image_surface_get_width(images[i]);
        PutU8(out, size == 256 ? 0 : static_cast<unsigned>(size));
        PutU8(out, size == 256 ? 0 : static_cast<unsigned>(size));
        PutU8(out, 0); // no palette
        PutU8(out, 0);
        PutU16(out, 1);  // planes
        PutU16(out, 32); // bits per pixel
        PutU32(out, static_cast<std::uint32_t>(encoded[i].size()));
        PutU32(out, static_cast<std::uint32_t>(offset));
        offset += encoded[i].size();
    }
    for (const auto& data : encoded)
        out.insert(out.end(), data.begin(), data.end());
    return out;
}

} // namespace kelvo::tools
