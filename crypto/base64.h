#pragma once
// Base64 with the standard alphabet, "=" padding and no line breaks, over
// UTF-16 text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kelvo {

// Appends the Base64 form of bytes to out.
void Base64Encode(std::span<const std::uint8_t> bytes, std::u16string& out);

// The characters of the Base64 form of `bytes` bytes.
constexpr std::size_t Base64EncodedSize(std::size_t bytes) noexcept {
    return (bytes + 2) / 3 * 4;
}
// Writes the Base64 form of bytes to the Base64EncodedSize characters at out,
// for storage of the caller's choosing (a secret's, that is wiped).
void Base64EncodeTo(std::span<const std::uint8_t> bytes, char16_t* out) noexcept;

// The most bytes that decoding a text of `chars` characters can yield.
constexpr std::size_t Base64MaxDecodedSize(std::size_t chars) noexcept {
    return chars / 4 * 3;
}

// Decodes text into out and returns the number of bytes written. Returns
// nothing, and writes nothing, when text is not what Base64Encode writes (a
// length that is not a multiple of four, a character outside the alphabet, "="
// anywhere but as one or two final padding characters) or when out is too
// short for the result.
std::optional<std::size_t> Base64Decode(std::u16string_view text,
                                        std::span<std::uint8_t> out) noexcept;

} // namespace kelvo
