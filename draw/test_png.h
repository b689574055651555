#pragma once
// Builds PNG files byte by byte for the tests and the fuzzer: any header,
// any chunks, correct lengths and CRCs, image data in stored (uncompressed)
// deflate blocks, so that a file can be exactly as valid or broken as wanted.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::testing {

using Bytes = std::vector<std::uint8_t>;

struct PngChunk {
    std::string type; // four letters
    Bytes data;
};

// The PNG signature followed by the chunks, each with its length and CRC.
Bytes PngFile(const std::vector<PngChunk>& chunks);

// IHDR contents: width, height, bit depth, colour type, interlace method.
Bytes IhdrData(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
               std::uint8_t colour_type, std::uint8_t interlace = 0);

// A zlib stream holding `raw` in stored deflate blocks.
Bytes ZlibStored(const Bytes& raw);

// A zlib stream holding `raw` compressed as tightly as zlib can.
Bytes ZlibCompressed(const Bytes& raw);

// The raw image data of rows given without their filter bytes.
Bytes FilteredRows(const std::vector<Bytes>& rows);

// A whole PNG: header, the extra chunks (PLTE, tRNS ...), one IDAT holding
// the rows (each given without its filter byte) and IEND.
Bytes SimplePng(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
                std::uint8_t colour_type, const std::vector<Bytes>& rows,
                const std::vector<PngChunk>& extra = {});

} // namespace kelvo::testing
