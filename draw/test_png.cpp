#include "draw/test_png.h"

#include <algorithm>
#include <array>

#include <zlib.h>

namespace kelvo::testing {

namespace {

void PutBigEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Adler32(const Bytes& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

} // namespace

Bytes PngFile(const std::vector<PngChunk>& chunks) {
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const PngChunk& chunk : chunks) {
        PutBigEndian32(out, static_cast<std::uint32_t>(chunk.data.size()));
        std::size_t type_at = out.size();
        for (std::size_t i = 0; i < 4; ++i)
            out.push_back(i < chunk.type.size() ? static_cast<std::uint8_t>(chunk.type[i]) : ' ');
        out.insert(out.end(), chunk.data.begin(), chunk.data.end());
        PutBigEndian32(out, Crc32(out.data() + type_at, 4 + chunk.data.size(), 0));
    }
    return out;
}

Bytes IhdrData(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
               std::uint8_t colour_type, std::uint8_t interlace) {
    Bytes out;
    PutBigEndian32(out, width);
    PutBigEndian32(out, height);
    out.insert(out.end(), {depth, colour_type, 0, 0, interlace});
    return out;
}

Bytes ZlibStored(const Bytes& raw) {
    Bytes out{0x78, 0x01};
    std::size_t at = 0;
    do {
        std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n));
        out.push_back(static_cast<std::uint8_t>(~n >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < raw.size());
    PutBigEndian32(out, Adler32(raw));
    return out;
}

Bytes ZlibCompressed(const Bytes& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

Bytes FilteredRows(const std::vector<Bytes>& rows) {
    Bytes raw;
    for (const Bytes& row : rows) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), row.begin(), row.end());
    }
    return raw;
}

Bytes SimplePng(std::uint32_t width, std::uint32_t height, std::uint8_t depth,
                std::uint8_t colour_type, const std::vector<Bytes>& rows,
                const std::vector<PngChunk>& extra) {
    std::vector<PngChunk> chunks{{"IHDR", IhdrData(width, height, depth, colour_type)}};
    chunks.insert(chunks.end(), extra.begin(), extra.end());
    chunks.push_back({"IDAT", ZlibStored(FilteredRows(rows))});
    chunks.push_back({"IEND", {}});
    return PngFile(chunks);
}

} // namespace kelvo::testing
