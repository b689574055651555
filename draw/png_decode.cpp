#include "draw/png_decode.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <png.h>

namespace kelvo {

static_assert(std::endian::native == std::endian::little,
              "pixels are 32-bit words whose bytes are B, G, R, A in memory");

namespace {

// Deflate expands at most 1032 bytes out of one byte of compressed data.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

struct ChunkSurvey {
    std::uint64_t image_data_bytes = 0; // of the IDAT chunks, counting only bytes present
    bool complete = false;              // the chunks run whole up to IEND
};

// Walks the chunks after the signature without trusting their lengths.
ChunkSurvey SurveyChunks(const std::uint8_t* data, std::size_t length) {
    constexpr std::size_t kSignature = 8, kChunkFrame = 12; // length, type, CRC
    ChunkSurvey survey;
    std::size_t at = kSignature;
    while (at <= length && length - at >= kChunkFrame) {
        std::uint64_t chunk = ReadBigEndian32(data + at);
        std::uint64_t present = length - at - kChunkFrame;
        const std::uint8_t* type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0)
            survey.image_data_bytes += std::min(chunk, present);
        if (std::memcmp(type, "IEND", 4) == 0) {
            survey.complete = chunk == 0;
            break;
        }
        if (chunk > present)
            break;
        at += kChunkFrame + static_cast<std::size_t>(chunk);
    }
    return survey;
}

// Bits per pixel of the stored data, from the header that libpng has
// already checked (it is always the first chunk).
unsigned StoredBitsPerPixel(const std::uint8_t* data) {
    unsigned depth = data[24];
    switch (data[25]) {
    case 2: // RGB
        return depth * 3;
    case 4: // grey and alpha
        return depth * 2;
    case 6: // RGBA
        return depth * 4;
    default: // grey, palette
        return depth;
    }
}

struct ImageReader {
    png_image image{};
    ImageReader() { image.version = PNG_IMAGE_VERSION; }
    ~ImageReader() { png_image_free(&image); }
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;
};

} // namespace

std::optional<DecodedImage> DecodePng(const void* bytes, std::size_t length) {
    if (!bytes || length == 0)
        return std::nullopt;
    ImageReader reader;
    png_image& image = reader.image;
    if (!png_image_begin_read_from_memory(&image, bytes, length))
        return std::nullopt;

    const auto* data = static_cast<const std::uint8_t*>(bytes);
    // libpng stops reading after the image data; a file cut later is
    // refused here.
    const ChunkSurvey survey = SurveyChunks(data, length);
    if (!survey.complete)
        return std::nullopt;
    std::uint64_t pixels = std::uint64_t{image.width} * image.height;
    if (pixels == 0 || pixels > kMaxImagePixels)
        return std::nullopt;
    // A header may announce any size; the pixels are allocated only when the
    // compressed data present could fill them.
    std::uint64_t stored_bits = pixels * StoredBitsPerPixel(data);
    if (stored_bits / 8 > kMaxDeflateRatio * survey.image_data_bytes)
        return std::nullopt;

    DecodedImage out;
    out.width = static_cast<std::int32_t>(image.width);
    out.height = static_cast<std::int32_t>(image.height);
    out.pixels.resize(static_cast<std::size_t>(pixels));
    image.format = PNG_FORMAT_BGRA;
    // 16-bit data without gamma information is taken as sRGB-encoded, as
    // 8-bit data is and as image editors show it, not as linear light.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    // A negative stride makes libpng store the bottom row first.
    auto stride = static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    if (!png_image_finish_read(&image, nullptr, out.pixels.data(), -stride, nullptr))
        return std::nullopt;
    return out;
}

} // namespace kelvo
