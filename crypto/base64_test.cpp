#include "crypto/base64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "crypto/test_util.h"

namespace kelvo {
namespace {

std::u16string Encode(const std::vector<std::uint8_t>& bytes) {
    std::u16string out;
    Base64Encode(bytes, out);
    return out;
}

std::optional<std::vector<std::uint8_t>> Decode(std::u16string_view text) {
    std::vector<std::uint8_t> out(Base64MaxDecodedSize(text.size()));
    const auto size = Base64Decode(text, out);
    if (!size)
        return std::nullopt;
    out.resize(*size);
    return out;
}

TEST(Base64, PublishedExamples) {
    const std::pair<const char*, const char16_t*> cases[] = {
        {"", u""},
        {"f", u"Zg=="},
        {"fo", u"Zm8="},
        {"foo", u"Zm9v"},
        {"foob", u"Zm9vYg=="},
        {"fooba", u"Zm9vYmE="},
        {"foobar", u"Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : cases) {
        EXPECT_EQ(Encode(test::Bytes(plain)), encoded) << plain;
        EXPECT_EQ(Decode(encoded), test::Bytes(plain)) << plain;
    }
}

TEST(Base64, EncodeAppends) {
    std::u16string out = u"head:";
    Base64Encode(test::Bytes("foo"), out);
    EXPECT_EQ(out, u"head:Zm9v");
}

TEST(Base64, EveryByteValueRoundTrips) {
    std::vector<std::uint8_t> bytes(256 * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131);
    for (std::size_t size : {bytes.size(), bytes.size() - 1, bytes.size() - 2}) {
        const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + size);
        const std::u16string encoded = Encode(part);
        EXPECT_EQ(encoded.find_first_not_of(
                      u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::u16string::npos);
        EXPECT_EQ(Decode(encoded), part);
    }
}

TEST(Base64, RejectsWhatEncodeCannotWrite) {
    const std::u16string bad[] = {
        u"Z",         u"Zg",        u"Zg=",          u"Zm9vY",     // length not a multiple of 4
        u"Zm9v!A==",  u"Zm 9",      u"Zm9v\n",       u"Zm9\u00e9", // outside the alphabet
        u"Zm9\u0156", u"Zm9\uff56", u"Zm9\x4156",                  // wide units ending in 'V'
        u"=Zm9",      u"Z=m9",      u"Zm=9",         u"Zg==Zm9v",  // "=" not at the end
        u"Z===",      u"====",      u"Zm9vYmE=Z===",
    };
    for (const std::u16string& text : bad)
        EXPECT_EQ(Decode(text), std::nullopt) << std::string(text.begin(), text.end());

    std::u16string with_zero = u"Zm9v";
    with_zero[1] = u'\0';
    EXPECT_EQ(Decode(with_zero), std::nullopt);
}

// A failed decode, for bad text or a short buffer, leaves the buffer alone.
TEST(Base64, NeverWritesOnFailureOrPastTheBuffer) {
    std::vector<std::uint8_t> out(8, 0xCC);
    EXPECT_EQ(Base64Decode(u"Zm9vYmFy!m9v", out), std::nullopt);
    EXPECT_EQ(Base64Decode(u"Zm9vYmFyZm9v", std::span(out).first(8)), std::nullopt);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](auto b) { return b == 0xCC; }));

    // Exactly large enough for the bytes, smaller than the bound for the text.
    EXPECT_EQ(Base64Decode(u"Zm9vYg==", std::span(out).first(4)), 4u);
    EXPECT_EQ(out[4], 0xCC);
}

} // namespace
} // namespace kelvo
