#include "crypto/twofish.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "crypto/test_util.h"
#include "crypto/twofish_self_check.h"

namespace kelvo {
namespace {

using test::FromHex;
using test::ToHex;

std::vector<std::uint8_t> Encipher(const std::vector<std::uint8_t>& key,
                                   std::vector<std::uint8_t> data) {
    TwofishKey(key).EncryptBlocks(data);
    return data;
}

std::vector<std::uint8_t> Decipher(const std::vector<std::uint8_t>& key,
                                   std::vector<std::uint8_t> data) {
    TwofishKey(key).DecryptBlocks(data);
    return data;
}

// The published known-answer tests (zero plain text).
TEST(Twofish, KnownAnswers) {
    struct Case {
        const char* key;
        const char* cipher;
    };
    const Case cases[] = {
        {"00000000000000000000000000000000", "9f589f5cf6122c32b6bfec2f2ae8c35a"},
        {"0123456789abcdeffedcba98765432100011223344556677", "cfd1d2e5a9be9cdf501f13b892bd2248"},
        {"0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff",
         "37527be0052334b89f0cfccae87cfa20"},
    };
    const std::vector<std::uint8_t> zero(16);
    for (const Case& c : cases) {
        const auto key = FromHex(c.key);
        EXPECT_EQ(ToHex(Encipher(key, zero)), c.cipher) << c.key;
        EXPECT_EQ(Decipher(key, FromHex(c.cipher)), zero) << c.key;
    }
}

// The published 49-step chained tests: each step's key is the previous block
// followed by the previous key, cut to the key size; its block is the previous
// cipher text. Checked: the first cipher text and the whole 49th step.
TEST(Twofish, PublishedChains) {
    struct Case {
        std::size_t key_size;
        const char* first_cipher;
        const char* last_key;
        const char* last_plain;
        const char* last_cipher;
    };
    const Case cases[] = {
        {16, "9f589f5cf6122c32b6bfec2f2ae8c35a", "bca724a54533c6987e14aa827952f921",
         "6b459286f3ffd28d49f15b1581b08e42", "5d9d4eeffa9151575524f115815a12e0"},
        {24, "efa71f788965bd4453f860178fc19101", "fb66522c332fcc4c042abe32fa9e902fdea4f3da75ec7a8e",
         "f0ab73301125fa21ef70be5385fb76b6", "e75449212beef9f4a390bd860a640941"},
        {32, "57ff739d4dc92c1bd7fc01700cc8216f",
         "248a7f3528b168acfdd1386e3f51e30c2e2158bc3e5fc714c1eeeca0ea696d48",
         "431058f4dbc7f734da4f02f04cc4f459", "37fe26ff1cf66175f5ddf4c33b97a205"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> key(c.key_size), plain(16), cipher;
        for (int step = 1; step <= 49; ++step) {
            cipher = Encipher(key, plain);
            if (step == 1) {
                EXPECT_EQ(ToHex(cipher), c.first_cipher);
            }
            if (step == 49)
                break;
            key.insert(key.begin(), plain.begin(), plain.end());
            key.resize(c.key_size);
            plain = cipher;
        }
        EXPECT_EQ(ToHex(key), c.last_key);
        EXPECT_EQ(ToHex(plain), c.last_plain);
        EXPECT_EQ(ToHex(cipher), c.last_cipher);
        EXPECT_EQ(Decipher(key, cipher), plain);
    }
}

TEST(Twofish, SelfCheckPasses) {
    EXPECT_EQ(TwofishSelfCheckFailure(), nullptr);
    EnsureTwofishSelfChecked(); // would abort the test run on a mismatch
}

// Electronic codebook: every block is enciphered by itself, so equal blocks
// give equal cipher blocks wherever they stand.
TEST(Twofish, BlocksAreIndependent) {
    const auto key = FromHex("000102030405060708090a0b0c0d0e0f1011121314151617");
    const auto a = FromHex("00112233445566778899aabbccddeeff");
    const auto b = FromHex("ffeeddccbbaa99887766554433221100");
    std::vector<std::uint8_t> data = a;
    data.insert(data.end(), b.begin(), b.end());
    data.insert(data.end(), a.begin(), a.end());

    const auto cipher = Encipher(key, data);
    const std::string a_alone = ToHex(Encipher(key, a));
    EXPECT_EQ(ToHex(std::vector(cipher.begin(), cipher.begin() + 16)), a_alone);
    EXPECT_EQ(ToHex(std::vector(cipher.begin() + 16, cipher.begin() + 32)),
              ToHex(Encipher(key, b)));
    EXPECT_EQ(ToHex(std::vector(cipher.begin() + 32, cipher.end())), a_alone);
    EXPECT_EQ(Decipher(key, cipher), data);
}

TEST(Twofish, DecryptInvertsEncryptForEveryKeyLength) {
    std::mt19937 random(7);
    for (std::size_t key_size = 0; key_size <= 32; ++key_size) {
        std::vector<std::uint8_t> key(key_size), data(64);
        for (auto& b : key)
            b = static_cast<std::uint8_t>(random());
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random());
        const auto cipher = Encipher(key, data);
        EXPECT_NE(cipher, data);
        EXPECT_EQ(Decipher(key, cipher), data) << "key size " << key_size;
    }
}

} // namespace
} // namespace kelvo
