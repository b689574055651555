// The cipher's parts against independent implementations: libgcrypt (SHA-1,
// Twofish with 128- and 256-bit keys) and nettle (Twofish with keys of any
// length up to 32 bytes, which libgcrypt does not take; Base64).

#include <gcrypt.h>
#include <gtest/gtest.h>
#include <nettle/base64.h>
#include <nettle/twofish.h>

#include <memory>
#include <random>
#include <vector>

#include "crypto/cipher.h"
#include "crypto/sha1.h"
#include "crypto/twofish.h"

namespace kelvo {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Oracle : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(gcry_check_version(GCRYPT_VERSION), nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    }

    Bytes RandomBytes(std::size_t n) {
        Bytes bytes(n);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(m_random());
        return bytes;
    }
    std::size_t RandomBelow(std::size_t n) { return m_random() % n; }

    std::mt19937 m_random{1998};
};

using CipherHandle = std::unique_ptr<gcry_cipher_handle, decltype(&gcry_cipher_close)>;

Bytes GcryptEncipher(const Bytes& key, Bytes data) {
    gcry_cipher_hd_t raw = nullptr;
    const int algo = key.size() == 16 ? GCRY_CIPHER_TWOFISH128 : GCRY_CIPHER_TWOFISH;
    EXPECT_EQ(gcry_cipher_open(&raw, algo, GCRY_CIPHER_MODE_ECB, 0), 0u);
    const CipherHandle handle(raw, gcry_cipher_close);
    EXPECT_EQ(gcry_cipher_setkey(handle.get(), key.data(), key.size()), 0u);
    EXPECT_EQ(gcry_cipher_encrypt(handle.get(), data.data(), data.size(), nullptr, 0), 0u);
    return data;
}

Bytes NettleEncipher(const Bytes& key, Bytes data) {
    twofish_ctx context;
    twofish_set_key(&context, key.size(), key.data());
    twofish_encrypt(&context, data.size(), data.data(), data.data());
    return data;
}

std::u16string NettleBase64(const Bytes& bytes) {
    std::string text(BASE64_ENCODE_RAW_LENGTH(bytes.size()), '\0');
    base64_encode_raw(text.data(), bytes.size(), bytes.data());
    return {text.begin(), text.end()};
}

Bytes GcryptSha1(const Bytes& message) {
    Bytes digest(20);
    gcry_md_hash_buffer(GCRY_MD_SHA1, digest.data(), message.data(), message.size());
    return digest;
}

void CheckAgainst(Bytes (*oracle)(const Bytes&, Bytes), const Bytes& key, const Bytes& blocks) {
    Bytes ours = blocks;
    TwofishKey(key).EncryptBlocks(ours);
    ASSERT_EQ(ours, oracle(key, blocks)) << "key size " << key.size();
    TwofishKey(key).DecryptBlocks(ours);
    ASSERT_EQ(ours, blocks) << "key size " << key.size();
}

TEST_F(Oracle, TwofishAgreesWithLibgcrypt) {
    for (const std::size_t key_size : {16, 32})
        for (int i = 0; i < 2000; ++i)
            CheckAgainst(GcryptEncipher, RandomBytes(key_size),
                         RandomBytes(16 * (1 + RandomBelow(4))));
}

TEST_F(Oracle, TwofishAgreesWithNettleForEveryKeyLength) {
    for (int i = 0; i < 3000; ++i) {
        const std::size_t key_size = i < 1000 ? 24 : 1 + RandomBelow(32);
        CheckAgainst(NettleEncipher, RandomBytes(key_size), RandomBytes(16 * (1 + RandomBelow(4))));
    }
}

TEST_F(Oracle, Sha1AgreesWithLibgcrypt) {
    for (int i = 0; i < 1000; ++i) {
        const Bytes message = RandomBytes(RandomBelow(1001));
        SHA1 sha;
        for (std::size_t at = 0; at < message.size();) {
            const std::size_t piece = std::min(message.size() - at, RandomBelow(150));
            sha.Feed(std::span(message).subspan(at, piece));
            at += piece;
        }
        const SHA1::Digest words = sha.Finish();
        Bytes ours;
        for (const std::uint32_t word : words)
            for (int shift = 24; shift >= 0; shift -= 8)
                ours.push_back(static_cast<std::uint8_t>(word >> shift));
        ASSERT_EQ(ours, GcryptSha1(message)) << "length " << message.size();
    }
}

// The stored form built from the oracles' parts, as another program would.
TEST_F(Oracle, StoredFormAgreesWithOneBuiltFromTheOracles) {
    for (int i = 0; i < 300; ++i) {
        std::u16string text(RandomBelow(100), u'\0');
        for (char16_t& unit : text)
            unit = static_cast<char16_t>(1 + RandomBelow(0xFFFF));
        CipherKey key;
        const Bytes key_bytes = RandomBytes(32);
        std::copy(key_bytes.begin(), key_bytes.end(), key.bytes.begin());

        Bytes plain;
        for (const char16_t unit : text) {
            plain.push_back(static_cast<std::uint8_t>(unit));
            plain.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        Bytes twice = plain;
        twice.insert(twice.end(), plain.begin(), plain.end());
        const Bytes a = GcryptSha1(plain), c = GcryptSha1(twice);
        Bytes layout;
        for (int word = 0; word < 8; ++word) { // each least significant byte first
            const auto digest_word = word < 5 ? a.begin() + 4 * word : c.begin() + 4 * (word - 5);
            layout.insert(layout.end(), std::make_reverse_iterator(digest_word + 4),
                          std::make_reverse_iterator(digest_word));
        }
        layout.insert(layout.end(), plain.begin(), plain.end());
        layout.resize(layout.size() + 2 + (16 - (plain.size() + 2) % 16) % 16);

        std::u16string ours;
        ASSERT_TRUE(CCipher().Encrypt(key, text, ours));
        ASSERT_EQ(ours, NettleBase64(GcryptEncipher(key_bytes, layout)))
            << "length " << text.size();
    }
}

} // namespace
} // namespace kelvo
