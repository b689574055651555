#pragma once
// Random bytes from the operating system's cryptographic generator, for keys.

#include <cstdint>
#include <span>

namespace kelvo {

// Fills `out` with cryptographically strong random bytes. False when the
// system refuses; `out` must then not be used.
bool FillSystemRandom(std::span<std::uint8_t> out) noexcept;

} // namespace kelvo
