#include "crypto/sha1.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/wipe.h"

namespace kelvo {

namespace {

std::uint32_t LoadBigEndian(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}

} // namespace

SHA1::~SHA1() {
    Wipe();
}

void SHA1::Wipe() noexcept {
    SecureWipe(m_state.data(), sizeof m_state);
    SecureWipe(m_block.data(), sizeof m_block);
}

void SHA1::Reset() noexcept {
    m_state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    m_block = {};
    m_used = 0;
    m_length = 0;
}

void SHA1::Feed(std::span<const std::uint8_t> bytes) noexcept {
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    m_length += n;
    if (m_used != 0) {
        const std::size_t take = std::min(n, m_block.size() - m_used);
        std::memcpy(m_block.data() + m_used, p, take);
        m_used += take;
        p += take;
        n -= take;
        if (m_used < m_block.size())
            return;
        Compress(m_block.data());
        m_used = 0;
    }
    for (; n >= 64; p += 64, n -= 64)
        Compress(p);
    if (n != 0) {
        std::memcpy(m_block.data(), p, n);
        m_used = n;
    }
}

SHA1::Digest SHA1::Finish() noexcept {
    const std::uint64_t bits = m_length * 8;
    m_block[m_used++] = 0x80;
    if (m_used > 56) {
        std::memset(m_block.data() + m_used, 0, 64 - m_used);
        Compress(m_block.data());
        m_used = 0;
    }
    std::memset(m_block.data() + m_used, 0, 56 - m_used);
    for (int i = 0; i < 8; ++i)
        m_block[56 + i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Compress(m_block.data());
    const Digest digest = m_state;
    Wipe();
    Reset();
    return digest;
}

void SHA1::Compress(const std::uint8_t* block) noexcept {
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t)
        w[t] = LoadBigEndian(block + 4 * t);
    for (int t = 16; t < 80; ++t)
        w[t] = std::rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3], e = m_state[4];
    auto step = [&](std::uint32_t f, std::uint32_t k, std::uint32_t wt) {
        const std::uint32_t temp = std::rotl(a, 5) + f + e + k + wt;
        e = d;
        d = c;
        c = std::rotl(b, 30);
        b = a;
        a = temp;
    };
    for (int t = 0; t < 20; ++t)
        step((b & c) | (~b & d), 0x5A827999, w[t]);
    for (int t = 20; t < 40; ++t)
        step(b ^ c ^ d, 0x6ED9EBA1, w[t]);
    for (int t = 40; t < 60; ++t)
        step((b & c) | (b & d) | (c & d), 0x8F1BBCDC, w[t]);
    for (int t = 60; t < 80; ++t)
        step(b ^ c ^ d, 0xCA62C1D6, w[t]);

    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    m_state[4] += e;
    // The schedule is a function of the message block.
    SecureWipe(w, sizeof w);
}

} // namespace kelvo
