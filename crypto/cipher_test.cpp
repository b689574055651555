#include "crypto/cipher.h"

#include <gtest/gtest.h>

#include <random>

#include "crypto/base64.h"
#include "crypto/test_util.h"

namespace kelvo {
namespace {

CipherKey CountingKey() {
    CipherKey key;
    for (std::size_t i = 0; i < key.bytes.size(); ++i)
        key.bytes[i] = static_cast<std::uint8_t>(i);
    return key;
}

std::u16string Encrypted(const CipherKey& key, std::u16string_view text) {
    std::u16string stored;
    EXPECT_TRUE(CCipher().Encrypt(key, text, stored));
    return stored;
}

TEST(CCipher, MakeKeyOfAbc) {
    EXPECT_EQ(test::ToHex(CCipher().MakeKey(u"abc").bytes),
              "1af4049f16148584d6e35020bb7a1a8cb5c21d4402780693973160b04aa1153d");
}

// Stored forms computed by a separate implementation of the format (a
// scripting language's SHA-1 and Base64 with another library's Twofish).
TEST(CCipher, ReadsAndWritesTheStoredFormOfOtherWriters) {
    struct Case {
        CipherKey key;
        std::u16string text;
        std::u16string stored;
    };
    const Case cases[] = {
        {CountingKey(), u"", u"LXJsvQhHvH4vtJ4vY7qr8LHcEw24QcH7TOVSgEtzKNX4tX82BpAkNyC5lGkvGO4O"},
        {CountingKey(), u"abc",
         u"KM487Ry/91fbxx5UOVKPzMk2FQiFrJxqW0HfLUCbtqBcKexQYDrQ9AE8Sep9UhxE"},
        {CountingKey(), u"Gr\u00fc\u00dfe\r\n\U0001F600 [TAB]x",
         u"TY1zkfz+tKSTwCKNs9hAW0c4HlZ203jUW2axq7ypPZlqxOcrSaafodp7H1zNpTaC0ARbgyU6j9L6IBHBCIhFd/"
         u"i1fzYGkCQ3ILmUaS8Y7g4="},
        {CCipher().MakeKey(u"correct horse"), u"abcdefgh",
         u"KLbKsk7su0Fdaei1nXHeZskYiHCxf8NiRy3AptajckT3BQrzGrdqQvl9gN3aTjRqDN0kGMZX/"
         u"NskQFP4Dv6xNw=="},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Encrypted(c.key, c.text), c.stored);
        WipedString<char16_t> text;
        EXPECT_TRUE(CCipher().Decrypt(c.key, c.stored, text));
        EXPECT_EQ(text.view(), c.text);
    }
}

TEST(CCipher, StoredSizes) {
    struct Case {
        std::size_t units;
        std::size_t chars;
        std::size_t padding; // final "=" characters
    };
    const Case cases[] = {
        {0, 64, 0},   // check value and one block: 48 bytes
        {7, 64, 0},   // 14 bytes and the terminator fill one block
        {8, 88, 2},   // 64 bytes
        {23, 108, 1}, // 80 bytes
        {44, 172, 1}, // a wrapped data key: 128 bytes
    };
    for (const Case& c : cases) {
        const std::u16string stored = Encrypted(CountingKey(), std::u16string(c.units, u'x'));
        EXPECT_EQ(stored.size(), c.chars) << c.units;
        EXPECT_EQ(stored.size() - stored.find_last_not_of(u'=') - 1, c.padding) << c.units;
    }
}

TEST(CCipher, SameTextAndKeyGiveTheSameStoredForm) {
    const CipherKey key = CCipher().MakeKey(u"password");
    EXPECT_EQ(Encrypted(key, u"Dear [TAB]Sir"), Encrypted(key, u"Dear [TAB]Sir"));
    EXPECT_NE(Encrypted(key, u"Dear [TAB]Sir"), Encrypted(CountingKey(), u"Dear [TAB]Sir"));
}

TEST(CCipher, EncryptAppends) {
    std::u16string result = u"kept";
    EXPECT_TRUE(CCipher().Encrypt(CountingKey(), u"abc", result));
    EXPECT_EQ(result, u"kept" + Encrypted(CountingKey(), u"abc"));
}

TEST(CCipher, WrongKeyFailsAndLeavesNoText) {
    // A wrapped data key: Base64 of 32 bytes under the key of a password.
    std::vector<std::uint8_t> data_key(32, 0x5A);
    std::u16string wrapped_plain;
    Base64Encode(data_key, wrapped_plain);
    const std::u16string stored = Encrypted(CCipher().MakeKey(u"secret"), wrapped_plain);

    WipedString<char16_t> text(u"left over");
    EXPECT_FALSE(CCipher().Decrypt(CCipher().MakeKey(u"Secret"), stored, text));
    EXPECT_EQ(text.view(), u"");
    EXPECT_TRUE(CCipher().Decrypt(CCipher().MakeKey(u"secret"), stored, text));
    EXPECT_EQ(text.view(), wrapped_plain);
}

TEST(CCipher, MalformedOrDamagedStoredFormsFail) {
    const std::u16string one_block = Encrypted(CountingKey(), u"abc"); // 48 bytes, no padding
    const std::u16string two_blocks = Encrypted(CountingKey(), u"abcdefgh");
    std::u16string forty_seven_bytes;
    Base64Encode(std::vector<std::uint8_t>(47), forty_seven_bytes);

    const std::u16string bad[] = {
        u"",
        u"AAAA",
        forty_seven_bytes,
        one_block.substr(0, 60),                               // 45 bytes
        two_blocks.substr(0, 84),                              // a partial last block
        one_block + u"AAAA",                                   // a partial block appended
        one_block.substr(0, 63),                               // not Base64: length
        one_block.substr(0, 32) + u" " + one_block.substr(33), // not Base64: character
        one_block + u"\r\n",
    };
    for (const std::u16string& stored : bad) {
        WipedString<char16_t> text;
        EXPECT_FALSE(CCipher().Decrypt(CountingKey(), stored, text))
            << std::string(stored.begin(), stored.end());
        EXPECT_EQ(text.view(), u"");
    }

    // Every single changed character spoils a block.
    const std::u16string alphabet =
        u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < one_block.size(); ++i) {
        std::u16string damaged = one_block;
        damaged[i] = alphabet[(alphabet.find(damaged[i]) + 1) % 64];
        WipedString<char16_t> text;
        EXPECT_FALSE(CCipher().Decrypt(CountingKey(), damaged, text)) << "character " << i;
    }
}

// The stored form ends the text at its first zero code unit, so such a text
// would never come back: Encrypt refuses it, and a stored form holding one
// (written by another program) fails its check.
TEST(CCipher, TextWithAZeroCodeUnitDoesNotComeBack) {
    const std::u16string with_zero(u"ab\0cd", 5);
    std::u16string result = u"untouched";
    EXPECT_FALSE(CCipher().Encrypt(CountingKey(), with_zero, result));
    EXPECT_EQ(result, u"untouched");

    WipedString<char16_t> text;
    EXPECT_FALSE(CCipher().Decrypt(
        CountingKey(), u"OZBJThl8KhBrSo/w1JDqVK05rlsblU+yi9dytMA7ziRJRqwCHoD/nq3Mn/0HbOPl", text));
    EXPECT_EQ(text.view(), u"");
}

TEST(CCipher, RandomTextsComeBackExactly) {
    std::mt19937 random(2026);
    const char16_t specials[] = {u'\r', u'\n', u'[', u']', 0xFEFF, 0xFFFF, 0xFFFE, 0xDC00, 0xD800};
    for (int round = 0; round < 300; ++round) {
        CipherKey key;
        for (auto& b : key.bytes)
            b = static_cast<std::uint8_t>(random());
        std::u16string text;
        const std::size_t units = random() % 200;
        while (text.size() < units) {
            switch (random() % 4) {
            case 0: // a surrogate pair
                text += static_cast<char16_t>(0xD800 + random() % 0x400);
                text += static_cast<char16_t>(0xDC00 + random() % 0x400);
                break;
            case 1:
                text += specials[random() % std::size(specials)];
                break;
            default: // any code unit but zero
                text += static_cast<char16_t>(1 + random() % 0xFFFF);
            }
        }
        std::u16string stored = Encrypted(key, text);
        WipedString<char16_t> back;
        ASSERT_TRUE(CCipher().Decrypt(key, stored, back)) << "round " << round;
        ASSERT_EQ(back.view(), text) << "round " << round;

        // Decrypting a string into itself works too.
        WipedString<char16_t> same(stored);
        ASSERT_TRUE(CCipher().Decrypt(key, same, same));
        ASSERT_EQ(same.view(), text);
    }
}

} // namespace
} // namespace kelvo
