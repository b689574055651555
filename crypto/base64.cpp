#include "crypto/base64.h"

#include <array>

namespace kelvo {

namespace {

constexpr char16_t kAlphabet[] =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::uint8_t kInvalid = 0xFF;

// Six-bit values of the ASCII characters; kInvalid for all others.
constexpr auto kValues = [] {
    std::array<std::uint8_t, 128> values{};
    values.fill(kInvalid);
    for (std::uint8_t i = 0; i < 64; ++i)
        values[kAlphabet[i]] = i;
    return values;
}();

std::uint8_t ValueOf(char16_t c) noexcept {
    return c < kValues.size() ? kValues[c] : kInvalid;
}

} // namespace

void Base64Encode(std::span<const std::uint8_t> bytes, std::u16string& out) {
    const std::size_t start = out.size();
    out.resize(start + Base64EncodedSize(bytes.size()));
    Base64EncodeTo(bytes, out.data() + start);
}

void Base64EncodeTo(std::span<const std::uint8_t> bytes, char16_t* dst) noexcept {
    const std::uint8_t* src = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 3; n -= 3, src += 3, dst += 4) {
        const std::uint32_t group =
            std::uint32_t{src[0]} << 16 | std::uint32_t{src[1]} << 8 | src[2];
        dst[0] = kAlphabet[group >> 18];
        dst[1] = kAlphabet[(group >> 12) & 63];
        dst[2] = kAlphabet[(group >> 6) & 63];
        dst[3] = kAlphabet[group & 63];
    }
    if (n != 0) {
        const std::uint32_t group =
            std::uint32_t{src[0]} << 16 | (n == 2 ? std::uint32_t{src[1]} << 8 : 0);
        dst[0] = kAlphabet[group >> 18];
        dst[1] = kAlphabet[(group >> 12) & 63];
        dst[2] = n == 2 ? kAlphabet[(group >> 6) & 63] : u'=';
        dst[3] = u'=';
    }
}

std::optional<std::size_t> Base64Decode(std::u16string_view text,
                                        std::span<std::uint8_t> out) noexcept {
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    if (!text.empty() && text.back() == u'=')
        padding = text[text.size() - 2] == u'=' ? 2 : 1;
    const std::size_t size = Base64MaxDecodedSize(text.size()) - padding;
    if (size > out.size())
        return std::nullopt;

    // Validate everything before the first write, so a failure leaves out as it was.
    const std::size_t data_chars = text.size() - padding;
    for (std::size_t i = 0; i < data_chars; ++i)
        if (ValueOf(text[i]) == kInvalid)
            return std::nullopt;

    std::uint8_t* dst = out.data();
    std::size_t i = 0;
    for (; i + 4 <= data_chars; i += 4, dst += 3) {
        const std::uint32_t group = std::uint32_t{ValueOf(text[i])} << 18 |
                                    std::uint32_t{ValueOf(text[i + 1])} << 12 |
                                    std::uint32_t{ValueOf(text[i + 2])} << 6 | ValueOf(text[i + 3]);
        dst[0] = static_cast<std::uint8_t>(group >> 16);
        dst[1] = static_cast<std::uint8_t>(group >> 8);
        dst[2] = static_cast<std::uint8_t>(group);
    }
    if (padding != 0) {
        const std::uint32_t group = std::uint32_t{ValueOf(text[i])} << 18 |
                                    std::uint32_t{ValueOf(text[i + 1])} << 12 |
                                    (padding == 1 ? std::uint32_t{ValueOf(text[i + 2])} << 6 : 0);
        dst[0] = static_cast<std::uint8_t>(group >> 16);
        if (padding == 1)
            dst[1] = static_cast<std::uint8_t>(group >> 8);
    }
    return size;
}

} // namespace kelvo
