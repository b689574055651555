// Decrypt of arbitrary stored texts under arbitrary keys, and of damaged
// stored forms of arbitrary texts: no crash, no access outside a buffer, and
// whenever Decrypt answers true, the deciphered check value is MakeKey of the
// text it returned.
//
// Input: 32 key bytes, one mode byte, then UTF-16 code units (two bytes each).

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "crypto/base64.h"
#include "crypto/cipher.h"
#include "crypto/twofish.h"

namespace {

using kelvo::CCipher;
using kelvo::CipherKey;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckAccepted(const CipherKey& key, std::u16string_view stored, std::u16string_view text) {
    std::vector<std::uint8_t> bytes(kelvo::Base64MaxDecodedSize(stored.size()));
    const auto size = kelvo::Base64Decode(stored, bytes);
    Require(size && *size >= 48);
    const auto check = std::span(bytes).first(32);
    kelvo::TwofishKey(key.bytes).DecryptBlocks(check);
    const CipherKey expected = CCipher().MakeKey(text);
    Require(std::equal(check.begin(), check.end(), expected.bytes.begin()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CipherKey key;
    const std::size_t key_size = std::min<std::size_t>(size, 32);
    std::memcpy(key.bytes.data(), data, key_size);
    data += key_size;
    size -= key_size;
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);

    const CCipher cipher;
    kelvo::WipedString<char16_t> text;
    if (mode % 2 == 0) {
        if (cipher.Decrypt(key, units, text))
            CheckAccepted(key, units, text);
        else
            Require(text.empty());
        return 0;
    }

    // Encrypt the units as a text, check the round trip, then damage one
    // character of the stored form (position and new character from the mode).
    std::u16string stored;
    const bool has_zero = units.find(u'\0') != std::u16string::npos;
    Require(cipher.Encrypt(key, units, stored) == !has_zero);
    if (has_zero)
        return 0;
    Require(cipher.Decrypt(key, stored, text) && text.view() == units);

    static constexpr char16_t kReplacements[] = u"A/+=Z0 \0\xFFFF";
    stored[(mode >> 1) * 7919u % stored.size()] = kReplacements[(mode >> 4) % 9];
    if (cipher.Decrypt(key, stored, text))
        CheckAccepted(key, stored, text);
    return 0;
}
