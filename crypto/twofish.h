#pragma once
// The Twofish block cipher (128-bit blocks) in electronic-codebook fashion,
// with the block and key byte order of its published description.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvo {

class TwofishKey {
public:
    static constexpr std::size_t kBlockSize = 16;
    static constexpr std::size_t kMaxKeySize = 32;

    // A key of up to 32 bytes; a shorter one is padded with zero bytes to the
    // next of 16, 24 or 32 bytes, as Twofish defines.
    explicit TwofishKey(std::span<const std::uint8_t> key) noexcept;
    TwofishKey(const TwofishKey&) = delete;
    TwofishKey& operator=(const TwofishKey&) = delete;
    ~TwofishKey();

    // Enciphers or deciphers each 16-byte block of data by itself, in place.
    // data.size() must be a multiple of 16.
    void EncryptBlocks(std::span<std::uint8_t> data) const noexcept;
    void DecryptBlocks(std::span<std::uint8_t> data) const noexcept;

private:
    std::uint32_t G(std::uint32_t x) const noexcept;

    std::array<std::uint32_t, 40> m_subkeys;
    // The key-dependent S-boxes combined with the MDS matrix, one table per
    // byte of g's input.
    std::array<std::array<std::uint32_t, 256>, 4> m_sbox;
};

} // namespace kelvo
