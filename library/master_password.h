#pragma once
// The master password. Every encrypted chunk text is encrypted under one
// random 32-byte data key, which chunks.xml keeps only wrapped under the
// master password, as the text of the root's "password" element. A master
// password is set exactly when that element exists; changing it wraps the same
// data key anew, so the chunks are never touched.

#include <string>
#include <string_view>

#include "crypto/cipher.h"

// The wrapped form: the data key's Base64 text encrypted under
// MakeKey(password), 172 characters.
std::u16string WrapDataKey(std::u16string_view password, const kelvo::CipherKey& data_key);
// The data key back from its wrapped form; false, with data_key untouched, for
// a wrong password or a wrapped form that is damaged or holds no key.
bool UnwrapDataKey(std::u16string_view password, std::u16string_view wrapped,
                   kelvo::CipherKey& data_key);
// A new data key from the system's cryptographic generator; false when the
// generator fails.
bool MakeDataKey(kelvo::CipherKey& data_key);

// Whether chunks.xml holds a wrapped data key.
bool HasMasterPassword();
// Unwraps the data key of chunks.xml with password. False when the file holds
// none or the password does not unwrap it.
bool VerifyMasterPassword(std::wstring_view password, kelvo::CipherKey& data_key);
// Writes data_key wrapped under password into chunks.xml, replacing the one
// there. On failure the file is left as it was and GetLastError() tells why.
bool StoreDataKey(std::wstring_view password, const kelvo::CipherKey& data_key);
