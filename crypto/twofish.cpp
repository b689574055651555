#include "crypto/twofish.h"

#include <algorithm>
#include <bit>
#include <cassert>

#include "base/wipe.h"

namespace kelvo {

namespace {

using Table = std::array<std::uint8_t, 256>;
using Nibbles = std::array<std::array<std::uint8_t, 16>, 4>;

// The 4-bit permutations t0..t3 from which q0 and q1 are built.
constexpr Nibbles kQ0Nibbles = {{
    {0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
    {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
    {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
    {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA},
}};
constexpr Nibbles kQ1Nibbles = {{
    {0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
    {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
    {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
    {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA},
}};

constexpr std::uint8_t Ror4(std::uint8_t x) {
    return static_cast<std::uint8_t>(((x >> 1) | (x << 3)) & 0xF);
}

constexpr Table MakeQ(const Nibbles& t) {
    Table q{};
    for (unsigned x = 0; x < 256; ++x) {
        std::uint8_t a = static_cast<std::uint8_t>(x >> 4), b = static_cast<std::uint8_t>(x & 0xF);
        for (int round = 0; round < 2; ++round) {
            const std::uint8_t a1 = a ^ b;
            const std::uint8_t b1 = static_cast<std::uint8_t>((a ^ Ror4(b) ^ (a << 3)) & 0xF);
            a = t[2 * round][a1];
            b = t[2 * round + 1][b1];
        }
        q[x] = static_cast<std::uint8_t>(b << 4 | a);
    }
    return q;
}

constexpr Table kQ0 = MakeQ(kQ0Nibbles);
constexpr Table kQ1 = MakeQ(kQ1Nibbles);

// Multiplication in GF(2^8) modulo the given primitive polynomial.
constexpr std::uint8_t GfMul(std::uint8_t a, std::uint8_t b, unsigned poly) {
    unsigned product = 0, x = a;
    for (; b != 0; b >>= 1) {
        if (b & 1)
            product ^= x;
        x <<= 1;
        if (x & 0x100)
            x ^= poly;
    }
    return static_cast<std::uint8_t>(product);
}

constexpr unsigned kMdsPoly = 0x169; // x^8 + x^6 + x^5 + x^3 + 1
constexpr unsigned kRsPoly = 0x14D;  // x^8 + x^6 + x^3 + x^2 + 1

constexpr std::uint8_t kMds[4][4] = {
    {0x01, 0xEF, 0x5B, 0x5B},
    {0x5B, 0xEF, 0xEF, 0x01},
    {0xEF, 0x5B, 0x01, 0xEF},
    {0xEF, 0x01, 0xEF, 0x5B},
};

constexpr std::uint8_t kRs[4][8] = {
    {0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03},
};

// kMdsColumns[j][y]: column j of the MDS matrix times the byte y, as a word.
constexpr auto kMdsColumns = [] {
    std::array<std::array<std::uint32_t, 256>, 4> columns{};
    for (int j = 0; j < 4; ++j)
        for (unsigned y = 0; y < 256; ++y)
            for (int i = 0; i < 4; ++i)
                columns[j][y] |=
                    std::uint32_t{GfMul(static_cast<std::uint8_t>(y), kMds[i][j], kMdsPoly)}
                    << (8 * i);
    return columns;
}();

// The permutation applied to byte j of h's input at each stage: stage 0 only
// with four key words, stage 1 with three or more, stages 2 to 4 always.
constexpr const Table* kStages[4][5] = {
    {&kQ1, &kQ1, &kQ0, &kQ0, &kQ1},
    {&kQ0, &kQ1, &kQ1, &kQ0, &kQ0},
    {&kQ0, &kQ0, &kQ0, &kQ1, &kQ1},
    {&kQ1, &kQ0, &kQ1, &kQ1, &kQ0},
};

std::uint8_t Byte(std::uint32_t word, int j) noexcept {
    return static_cast<std::uint8_t>(word >> (8 * j));
}

// Byte j of h's input through its chain of permutations, mixed with the key
// words list[0..words-1].
std::uint8_t HChain(std::uint8_t x, int j, const std::uint32_t* list, int words) noexcept {
    for (int stage = 4 - words; stage < 4; ++stage)
        x = (*kStages[j][stage])[x] ^ Byte(list[3 - stage], j);
    return (*kStages[j][4])[x];
}

std::uint32_t H(std::uint32_t x, const std::uint32_t* list, int words) noexcept {
    std::uint32_t z = 0;
    for (int j = 0; j < 4; ++j)
        z ^= kMdsColumns[j][HChain(Byte(x, j), j, list, words)];
    return z;
}

std::uint32_t LoadLittleEndian(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

void StoreLittleEndian(std::uint32_t v, std::uint8_t* p) noexcept {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace

TwofishKey::TwofishKey(std::span<const std::uint8_t> key) noexcept {
    assert(key.size() <= kMaxKeySize);
    const std::size_t size = std::min(key.size(), kMaxKeySize);
    const int words = size <= 16 ? 2 : size <= 24 ? 3 : 4; // k: 64-bit words of the padded key

    std::uint8_t padded[kMaxKeySize] = {};
    std::copy_n(key.data(), size, padded);

    std::uint32_t even[4], odd[4], sbox_key[4];
    for (int i = 0; i < words; ++i) {
        even[i] = LoadLittleEndian(padded + 8 * i);
        odd[i] = LoadLittleEndian(padded + 8 * i + 4);
        // The Reed-Solomon code of the i-th 8 bytes; the S-box key words are
        // used in reverse order.
        std::uint32_t s = 0;
        for (int r = 0; r < 4; ++r) {
            std::uint8_t acc = 0;
            for (int c = 0; c < 8; ++c)
                acc ^= GfMul(padded[8 * i + c], kRs[r][c], kRsPoly);
            s |= std::uint32_t{acc} << (8 * r);
        }
        sbox_key[words - 1 - i] = s;
    }

    constexpr std::uint32_t kRho = 0x01010101;
    for (std::uint32_t i = 0; i < 20; ++i) {
        const std::uint32_t a = H(2 * i * kRho, even, words);
        const std::uint32_t b = std::rotl(H((2 * i + 1) * kRho, odd, words), 8);
        m_subkeys[2 * i] = a + b;
        m_subkeys[2 * i + 1] = std::rotl(a + 2 * b, 9);
    }

    for (int j = 0; j < 4; ++j)
        for (unsigned x = 0; x < 256; ++x)
            m_sbox[j][x] = kMdsColumns[j][HChain(static_cast<std::uint8_t>(x), j, sbox_key, words)];

    SecureWipe(padded, sizeof padded);
    SecureWipe(even, sizeof even);
    SecureWipe(odd, sizeof odd);
    SecureWipe(sbox_key, sizeof sbox_key);
}

TwofishKey::~TwofishKey() {
    SecureWipe(m_subkeys.data(), sizeof m_subkeys);
    SecureWipe(m_sbox.data(), sizeof m_sbox);
}

std::uint32_t TwofishKey::G(std::uint32_t x) const noexcept {
    return m_sbox[0][Byte(x, 0)] ^ m_sbox[1][Byte(x, 1)] ^ m_sbox[2][Byte(x, 2)] ^
           m_sbox[3][Byte(x, 3)];
}

void TwofishKey::EncryptBlocks(std::span<std::uint8_t> data) const noexcept {
    assert(data.size() % kBlockSize == 0);
    const std::uint32_t* k = m_subkeys.data();
    for (std::size_t at = 0; at + kBlockSize <= data.size(); at += kBlockSize) {
        std::uint8_t* block = data.data() + at;
        std::uint32_t a = LoadLittleEndian(block) ^ k[0];
        std::uint32_t b = LoadLittleEndian(block + 4) ^ k[1];
        std::uint32_t c = LoadLittleEndian(block + 8) ^ k[2];
        std::uint32_t d = LoadLittleEndian(block + 12) ^ k[3];
        // Two rounds per pass, so that the halves trade places without copies.
        for (int r = 0; r < 16; r += 2) {
            std::uint32_t t0 = G(a), t1 = G(std::rotl(b, 8));
            c = std::rotr(c ^ (t0 + t1 + k[2 * r + 8]), 1);
            d = std::rotl(d, 1) ^ (t0 + 2 * t1 + k[2 * r + 9]);
            t0 = G(c);
            t1 = G(std::rotl(d, 8));
            a = std::rotr(a ^ (t0 + t1 + k[2 * r + 10]), 1);
            b = std::rotl(b, 1) ^ (t0 + 2 * t1 + k[2 * r + 11]);
        }
        // The last round's swap is undone by taking the halves crosswise.
        StoreLittleEndian(c ^ k[4], block);
        StoreLittleEndian(d ^ k[5], block + 4);
        StoreLittleEndian(a ^ k[6], block + 8);
        StoreLittleEndian(b ^ k[7], block + 12);
    }
}

void TwofishKey::DecryptBlocks(std::span<std::uint8_t> data) const noexcept {
    assert(data.size() % kBlockSize == 0);
    const std::uint32_t* k = m_subkeys.data();
    for (std::size_t at = 0; at + kBlockSize <= data.size(); at += kBlockSize) {
        std::uint8_t* block = data.data() + at;
        std::uint32_t c = LoadLittleEndian(block) ^ k[4];
        std::uint32_t d = LoadLittleEndian(block + 4) ^ k[5];
        std::uint32_t a = LoadLittleEndian(block + 8) ^ k[6];
        std::uint32_t b = LoadLittleEndian(block + 12) ^ k[7];
        for (int r = 14; r >= 0; r -= 2) {
            std::uint32_t t0 = G(c), t1 = G(std::rotl(d, 8));
            a = std::rotl(a, 1) ^ (t0 + t1 + k[2 * r + 10]);
            b = std::rotr(b ^ (t0 + 2 * t1 + k[2 * r + 11]), 1);
            t0 = G(a);
            t1 = G(std::rotl(b, 8));
            c = std::rotl(c, 1) ^ (t0 + t1 + k[2 * r + 8]);
            d = std::rotr(d ^ (t0 + 2 * t1 + k[2 * r + 9]), 1);
        }
        StoreLittleEndian(a ^ k[0], block);
        StoreLittleEndian(b ^ k[1], block + 4);
        StoreLittleEndian(c ^ k[2], block + 8);
        StoreLittleEndian(d ^ k[3], block + 12);
    }
}

} // namespace kelvo
