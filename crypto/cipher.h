#pragma once
// The protection of chunk texts: key derivation from a text, and the stored
// form of an encrypted text (Base64 of Twofish-enciphered check value and text).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/wipe.h"

namespace kelvo {

// A 32-byte key (or check value); wiped when dropped.
struct CipherKey {
    std::array<std::uint8_t, 32> bytes{};

    ~CipherKey() { SecureWipe(bytes.data(), bytes.size()); }
    friend bool operator==(const CipherKey&, const CipherKey&) = default;
};

// Stateless: create one where needed and call it. Every call builds its key
// schedule afresh; no cipher state outlives a call.
class CCipher {
public:
    virtual ~CCipher() = default;

    // 32 bytes derived from the UTF-16LE bytes of text with SHA-1.
    CipherKey MakeKey(std::u16string_view text) const;

    // Appends the stored form of text under key to result and returns true.
    // A text that holds a zero code unit is refused (false, result untouched):
    // the stored form ends the text at its first zero, so it could never be
    // decrypted again.
    bool Encrypt(const CipherKey& key, std::u16string_view text, std::u16string& result) const;

    // Recovers the text from its stored form, into storage that is wiped
    // when dropped. Returns false, with text empty, when the key does not fit
    // or the stored form is malformed or damaged.
    bool Decrypt(const CipherKey& key, std::u16string_view stored,
                 WipedString<char16_t>& text) const;
};

} // namespace kelvo
