#include "crypto/cipher.h"

#include <algorithm>
#include <span>

#include "crypto/base64.h"
#include "crypto/sha1.h"
#include "crypto/twofish.h"
#include "crypto/twofish_self_check.h"

namespace kelvo {

namespace {

// The check value and the text's first block at least.
constexpr std::size_t kCheckSize = 32;
constexpr std::size_t kMinStoredSize = kCheckSize + TwofishKey::kBlockSize;

std::size_t RoundUpToBlock(std::size_t n) {
    return (n + TwofishKey::kBlockSize - 1) / TwofishKey::kBlockSize * TwofishKey::kBlockSize;
}

void WriteUtf16Le(std::u16string_view text, std::uint8_t* out) {
    for (const char16_t unit : text) {
        *out++ = static_cast<std::uint8_t>(unit);
        *out++ = static_cast<std::uint8_t>(unit >> 8);
    }
}

// SHA-1 of the bytes, then SHA-1 of the bytes twice over: the first digest's
// five words and the second's first three, each least significant byte first.
CipherKey KeyFromUtf16Le(std::span<const std::uint8_t> bytes) {
    SHA1 twice;
    twice.Feed(bytes);
    SHA1 once = twice;
    twice.Feed(bytes);
    SHA1::Digest a = once.Finish();
    SHA1::Digest c = twice.Finish();
    std::uint32_t words[8] = {a[0], a[1], a[2], a[3], a[4], c[0], c[1], c[2]};
    CipherKey key;
    for (std::size_t i = 0; i < 32; ++i)
        key.bytes[i] = static_cast<std::uint8_t>(words[i / 4] >> (8 * (i % 4)));
    SecureWipe(a.data(), sizeof a);
    SecureWipe(c.data(), sizeof c);
    SecureWipe(words, sizeof words);
    return key;
}

} // namespace

CipherKey CCipher::MakeKey(std::u16string_view text) const {
    SecureBytes bytes(2 * text.size());
    WriteUtf16Le(text, bytes.data());
    return KeyFromUtf16Le(bytes);
}

bool CCipher::Encrypt(const CipherKey& key, std::u16string_view text,
                      std::u16string& result) const {
    if (text.find(u'\0') != std::u16string_view::npos)
        return false;
    EnsureTwofishSelfChecked();

    // Check value, text, zero terminator, zero bytes up to the block size; the
    // zeros come from the vector's initialisation.
    SecureBytes buffer(kCheckSize + RoundUpToBlock(2 * text.size() + 2));
    WriteUtf16Le(text, buffer.data() + kCheckSize);
    const CipherKey check = KeyFromUtf16Le(std::span(buffer).subspan(kCheckSize, 2 * text.size()));
    std::copy(check.bytes.begin(), check.bytes.end(), buffer.begin());

    TwofishKey(key.bytes).EncryptBlocks(buffer);
    Base64Encode(buffer, result);
    return true;
}

bool CCipher::Decrypt(const CipherKey& key, std::u16string_view stored,
                      WipedString<char16_t>& text) const {
    SecureBytes plain(RoundUpToBlock(Base64MaxDecodedSize(stored.size())));
    const std::optional<std::size_t> size = Base64Decode(stored, plain);
    // Only now, as stored may be a view of text.
    text.Clear();
    if (!size || *size < kMinStoredSize)
        return false;
    // A last partial block (which Encrypt never writes) is deciphered as if
    // filled up with the zero bytes that already follow it.
    plain.resize(RoundUpToBlock(*size));

    EnsureTwofishSelfChecked();
    TwofishKey(key.bytes).DecryptBlocks(plain);
    // Encrypt always ends with zero bytes; a wrong key rarely does.
    if (plain[*size - 1] != 0)
        return false;

    std::size_t end = kCheckSize;
    while (end + 1 < plain.size() && (plain[end] != 0 || plain[end + 1] != 0))
        end += 2;
    const auto text_bytes = std::span(plain).subspan(kCheckSize, end - kCheckSize);
    const CipherKey check = KeyFromUtf16Le(text_bytes);
    if (!std::equal(check.bytes.begin(), check.bytes.end(), plain.begin()))
        return false;

    text.Resize(text_bytes.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(text_bytes[2 * i] | text_bytes[2 * i + 1] << 8);
    return true;
}

} // namespace kelvo
