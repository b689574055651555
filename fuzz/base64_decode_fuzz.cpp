// Base64 decoding of arbitrary text: no access outside the buffers, and what
// it accepts has the size the text announces and encodes back to a text of
// the same length that decodes to the same bytes.
//
// Input: one byte per character when the first byte is even (to reach the
// alphabet often), else two bytes per UTF-16 code unit.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "crypto/base64.h"

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool wide = data[0] % 2 == 1;
    std::u16string text;
    for (std::size_t i = 1; i + (wide ? 1 : 0) < size; i += wide ? 2 : 1)
        text += static_cast<char16_t>(wide ? data[i] | data[i + 1] << 8 : data[i]);

    std::vector<std::uint8_t> bytes(kelvo::Base64MaxDecodedSize(text.size()));
    const auto decoded = kelvo::Base64Decode(text, bytes);
    if (!decoded)
        return 0;
    Require(text.size() % 4 == 0 && *decoded <= bytes.size() && *decoded + 2 >= bytes.size());
    bytes.resize(*decoded);

    // Too small a buffer by one byte: refused, never overrun.
    if (!bytes.empty()) {
        std::vector<std::uint8_t> short_buffer(bytes.size() - 1);
        Require(!kelvo::Base64Decode(text, short_buffer));
    }

    std::u16string encoded;
    kelvo::Base64Encode(bytes, encoded);
    Require(encoded.size() == text.size());
    std::vector<std::uint8_t> again(bytes.size());
    Require(kelvo::Base64Decode(encoded, again) == bytes.size() && again == bytes);
    return 0;
}
