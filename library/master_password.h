#pragma once
// The master password. Every encrypted chunk text is encrypted under one
// random 32-byte data key, which chunks.xml keeps only wrapped under the
// master password, as the text of the root's "password" element. A master
// password is set exactly when that element exists; changing it wraps the same
// data key anew, so the chunks are never touched.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "crypto/cipher.h"
#include "library/xml_file.h"

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

// How setting the master password ended. Anything but kStored wrote nothing.
struct KeyWrite {
    enum class Outcome {
        kStored,
        kWrongPassword,  // the old password does not unwrap the key in the file
        kPasswordExists, // a first password, but the file holds a key by now
        kPasswordGone,   // a change, but the file holds no key any more
        kUnreadable,     // the file is held, missing, empty, damaged or foreign
        kNotSaved,       // it could not be written (`error`)
        kNoRandomKey,    // the system's generator failed
    };
    Outcome outcome = Outcome::kStored;
    FileState state = FileState::kRead; // for kUnreadable
    DWORD error = ERROR_SUCCESS;        // for kUnreadable (held) and kNotSaved
};

// Sets the master password in chunks.xml, deciding on the file as it is at
// that moment, under the library's write lock, and never replacing what
// another writer put there meanwhile. Without `old_password` it is the first
// one, with a new data key, written only while the file holds no wrapped key;
// with it, a change: the key the file holds is unwrapped with the old password
// and wrapped anew. A file that does not read as a library is never written;
// a missing one is made only for a `new_library` (the program holds no
// chunks), never from the password alone otherwise.
KeyWrite SetMasterPassword(std::wstring_view password,
                           const std::optional<std::wstring_view>& old_password, bool new_library);
// A first master password with the given data key, as SetMasterPassword sets
// one for a new library (for making libraries: tools and tests). False when it
// was not stored; GetLastError() then tells why (ERROR_INVALID_DATA when the
// file was not written for what it holds).
bool StoreDataKey(std::wstring_view password, const kelvo::CipherKey& data_key);
