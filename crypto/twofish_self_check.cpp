#include "crypto/twofish_self_check.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "crypto/twofish.h"

namespace kelvo {

namespace {

using Block = std::array<std::uint8_t, 16>;

struct KnownAnswer {
    const char* name;
    std::size_t key_size;
    const char* key;    // hex
    const char* cipher; // hex
};

// The published known-answer tests: the given key and the zero plain text.
constexpr KnownAnswer kKnownAnswers[] = {
    {"128-bit known answer", 16, "00000000000000000000000000000000",
     "9F589F5CF6122C32B6BFEC2F2AE8C35A"},
    {"192-bit known answer", 24, "0123456789ABCDEFFEDCBA98765432100011223344556677",
     "CFD1D2E5A9BE9CDF501F13B892BD2248"},
    {"256-bit known answer", 32, "0123456789ABCDEFFEDCBA987654321000112233445566778899AABBCCDDEEFF",
     "37527BE0052334B89F0CFCCAE87CFA20"},
};

struct Chain {
    const char* name;
    std::size_t key_size;
    const char* last_cipher; // hex
};

// The published chained tests: from a zero key and block, each step enciphers
// the block, then takes the old block followed by the old key (cut to the key
// size) as key and the cipher text as block. Given: the 49th cipher text.
constexpr Chain kChains[] = {
    {"128-bit chained", 16, "5D9D4EEFFA9151575524F115815A12E0"},
    {"192-bit chained", 24, "E75449212BEEF9F4A390BD860A640941"},
    {"256-bit chained", 32, "37FE26FF1CF66175F5DDF4C33B97A205"},
};

int HexDigit(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

template <std::size_t N> std::array<std::uint8_t, N> FromHex(const char* hex) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N && hex[2 * i] != '\0'; ++i)
        bytes[i] = static_cast<std::uint8_t>(HexDigit(hex[2 * i]) << 4 | HexDigit(hex[2 * i + 1]));
    return bytes;
}

Block Encipher(std::span<const std::uint8_t> key, Block block) {
    TwofishKey(key).EncryptBlocks(block);
    return block;
}

bool KnownAnswerHolds(const KnownAnswer& v) {
    const auto key = FromHex<32>(v.key);
    const Block cipher = Encipher(std::span(key).first(v.key_size), Block{});
    Block plain = cipher;
    TwofishKey(std::span(key).first(v.key_size)).DecryptBlocks(plain);
    return cipher == FromHex<16>(v.cipher) && plain == Block{};
}

bool ChainHolds(const Chain& v) {
    // The key sits behind the block it enciphers, so that the next key (the
    // block followed by the old key) is what a shift by one block leaves there.
    std::array<std::uint8_t, 48> block_and_key{};
    const auto block = std::span(block_and_key).first<16>();
    const auto key = std::span(block_and_key).subspan(16, v.key_size);
    for (int step = 1; step <= 49; ++step) {
        Block cipher;
        std::copy(block.begin(), block.end(), cipher.begin());
        TwofishKey(key).EncryptBlocks(cipher);
        std::copy_backward(block_and_key.begin(), block_and_key.begin() + 32, block_and_key.end());
        std::copy(cipher.begin(), cipher.end(), block.begin());
    }
    return std::equal(block.begin(), block.end(), FromHex<16>(v.last_cipher).begin());
}

bool ShortKeysArePadded() {
    std::array<std::uint8_t, 32> key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 37));
    const Block plain = FromHex<16>("00112233445566778899AABBCCDDEEFF");
    for (std::size_t size = 0; size < 32; ++size) {
        const std::size_t padded_size = size <= 16 ? 16 : size <= 24 ? 24 : 32;
        std::array<std::uint8_t, 32> padded{};
        std::copy_n(key.begin(), size, padded.begin());
        if (Encipher(std::span(key).first(size), plain) !=
            Encipher(std::span(padded).first(padded_size), plain))
            return false;
    }
    return true;
}

void DefaultFaultHandler(const char* message) noexcept {
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
}

CipherFaultHandler fault_handler = DefaultFaultHandler;

} // namespace

const char* TwofishSelfCheckFailure() noexcept {
    for (const KnownAnswer& v : kKnownAnswers)
        if (!KnownAnswerHolds(v))
            return v.name;
    for (const Chain& v : kChains)
        if (!ChainHolds(v))
            return v.name;
    if (!ShortKeysArePadded())
        return "zero-padded short keys";
    return nullptr;
}

void EnsureTwofishSelfChecked() noexcept {
    static const char* const failure = TwofishSelfCheckFailure();
    if (failure == nullptr)
        return;
    char message[200];
    std::snprintf(message, sizeof message,
                  "Internal error: the Twofish cipher fails its self-check (%s). "
                  "Nothing has been encrypted or decrypted.",
                  failure);
    fault_handler(message);
    std::abort();
}

void SetCipherFaultHandler(CipherFaultHandler handler) noexcept {
    fault_handler = handler ? handler : DefaultFaultHandler;
}

CipherFaultHandler GetCipherFaultHandler() noexcept {
    return fault_handler;
}

} // namespace kelvo
