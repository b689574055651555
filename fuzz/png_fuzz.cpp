// Decodes arbitrary bytes as PNG, twice: as they are, and rebuilt into a
// well-framed file (signature, header, chunks with true lengths and CRCs,
// image data optionally wrapped in a valid zlib frame) so that short inputs
// get past the framing checks into libpng's image reading. Every picture
// that loads must be whole and premultiplied.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "draw/test_png.h"
#include "draw/vt_dib.h"

namespace {

using kelvo::testing::Bytes;
using kelvo::testing::PngChunk;

constexpr const char* kChunkTypes[] = {"IDAT", "PLTE", "tRNS", "gAMA", "sRGB",
                                       "iCCP", "sBIT", "cHRM", "bKGD", "IEND"};

// Input layout: one flag byte, 13 bytes of header, then chunks of
// [type selector][length][data].
Bytes Rebuild(const std::uint8_t* data, std::size_t size) {
    if (size < 14)
        return {};
    const std::uint8_t flags = data[0];
    Bytes header(data + 1, data + 14);
    if (flags & 1) {
        // Small sizes decode fast, so most runs explore the pixel paths.
        header[0] = header[1] = header[2] = 0;
        header[4] = header[5] = header[6] = 0;
        header[3] &= 0x3F;
        header[7] &= 0x3F;
    }
    std::vector<PngChunk> chunks{{"IHDR", header}};
    std::size_t at = 14;
    while (at + 2 <= size) {
        std::string type = kChunkTypes[data[at] % std::size(kChunkTypes)];
        std::size_t length = std::min<std::size_t>(data[at + 1], size - at - 2);
        Bytes body(data + at + 2, data + at + 2 + length);
        at += 2 + length;
        if (type == "IDAT" && (flags & 2))
            body = kelvo::testing::ZlibStored(body);
        chunks.push_back({type, body});
    }
    if (flags & 4)
        chunks.push_back({"IEND", {}});
    return kelvo::testing::PngFile(chunks);
}

void CheckLoaded(const kelvo::CVtDIB& image) {
    if (image.IsEmpty())
        return;
    if (image.Pixels().size() != std::size_t(image.Width()) * std::size_t(image.Height()))
        __builtin_trap();
    for (std::uint32_t pixel : image.Pixels()) {
        std::uint32_t alpha = pixel >> 24;
        if ((pixel & 0xFF) > alpha || ((pixel >> 8) & 0xFF) > alpha ||
            ((pixel >> 16) & 0xFF) > alpha)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kelvo::CVtDIB image;
    if (image.LoadFromMemory(data, size))
        CheckLoaded(image);
    Bytes rebuilt = Rebuild(data, size);
    kelvo::CVtDIB repaired;
    if (repaired.LoadFromMemory(rebuilt.data(), rebuilt.size()))
        CheckLoaded(repaired);
    return 0;
}
