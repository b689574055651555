#pragma once
// The SHA-1 message digest (FIPS 180) as an incremental object.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvo {

class SHA1 {
public:
    using Digest = std::array<std::uint32_t, 5>; // the state words H0 to H4

    SHA1() noexcept { Reset(); }
    SHA1(const SHA1&) noexcept = default;
    SHA1& operator=(const SHA1&) noexcept = default;
    // The buffered message bytes may be plain text.
    ~SHA1();

    void Reset() noexcept;
    void Feed(std::span<const std::uint8_t> bytes) noexcept;
    // Pads the message and returns its digest; the object is then reset.
    Digest Finish() noexcept;

private:
    void Compress(const std::uint8_t* block) noexcept;
    void Wipe() noexcept;

    Digest m_state;
    std::array<std::uint8_t, 64> m_block;
    std::size_t m_used;     // bytes waiting in block_
    std::uint64_t m_length; // message length in bytes
};

} // namespace kelvo
