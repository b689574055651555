#include "crypto/sha1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "crypto/test_util.h"

namespace kelvo {
namespace {

std::string DigestHex(const SHA1::Digest& d) {
    char hex[41];
    std::snprintf(hex, sizeof hex, "%08x%08x%08x%08x%08x", d[0], d[1], d[2], d[3], d[4]);
    return hex;
}

std::string Sha1Hex(const std::string& message) {
    SHA1 sha;
    sha.Feed(test::Bytes(message));
    return DigestHex(sha.Finish());
}

// The examples of the published standard.
TEST(SHA1, PublishedExamples) {
    EXPECT_EQ(Sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(Sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(Sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
    EXPECT_EQ(Sha1Hex(std::string(1000000, 'a')), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

// Padding edges: 55 bytes fit the length into the last block, 56 do not.
TEST(SHA1, PaddingEdges) {
    EXPECT_EQ(Sha1Hex(std::string(55, 'a')), "c1c8bbdc22796e28c0e15163d20899b65621d65a");
    EXPECT_EQ(Sha1Hex(std::string(56, 'a')), "c2db330f6083854c99d4b5bfb6e8f29f201be699");
    EXPECT_EQ(Sha1Hex(std::string(64, 'a')), "0098ba824b5c16427bd7a1122a5a442a25ec644d");
}

TEST(SHA1, FeedingInPiecesGivesTheSameDigest) {
    std::string message(300, '\0');
    for (std::size_t i = 0; i < message.size(); ++i)
        message[i] = static_cast<char>(i * 7 + 3);
    const std::string whole = Sha1Hex(message);
    for (const std::size_t piece : {1, 3, 55, 63, 64, 65, 128}) {
        SHA1 sha;
        for (std::size_t at = 0; at < message.size(); at += piece)
            sha.Feed(test::Bytes(std::string_view(message).substr(at, piece)));
        EXPECT_EQ(DigestHex(sha.Finish()), whole) << "pieces of " << piece;
    }
}

TEST(SHA1, FinishResetsAndResetDiscardsInput) {
    SHA1 sha;
    sha.Feed(test::Bytes("first message"));
    sha.Finish();
    sha.Feed(test::Bytes("abc"));
    EXPECT_EQ(DigestHex(sha.Finish()), "a9993e364706816aba3e25717850c26c9cd0d89d");

    sha.Feed(test::Bytes("discarded"));
    sha.Reset();
    sha.Feed(test::Bytes("abc"));
    EXPECT_EQ(DigestHex(sha.Finish()), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

} // namespace
} // namespace kelvo
