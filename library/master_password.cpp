#include "library/master_password.h"

#include <windows.h>

#include <algorithm>

#include "base/utf16.h"
#include "base/wipe.h"
#include "crypto/base64.h"
#include "crypto/system_random.h"
#include "library/write_lock.h"
#include "library/xml_props.h"

using kelvo::AsU16;
using kelvo::AsWide;
using kelvo::CCipher;
using kelvo::CipherKey;

namespace {

constexpr wchar_t kElement[] = L"password";

} // namespace

std::u16string WrapDataKey(std::u16string_view password, const CipherKey& data_key) {
    kelvo::WipedString<char16_t> base64;
    base64.Resize(kelvo::Base64EncodedSize(data_key.bytes.size()));
    kelvo::Base64EncodeTo(data_key.bytes, base64.data());
    std::u16string wrapped;
    // Base64 text holds no zero code unit, which is all Encrypt refuses.
    CCipher().Encrypt(CCipher().MakeKey(password), base64, wrapped);
    return wrapped;
}

bool UnwrapDataKey(std::u16string_view password, std::u16string_view wrapped, CipherKey& data_key) {
    kelvo::WipedString<char16_t> base64;
    if (!CCipher().Decrypt(CCipher().MakeKey(password), wrapped, base64))
        return false;
    kelvo::SecureBytes bytes(kelvo::Base64MaxDecodedSize(base64.size()));
    const auto size = kelvo::Base64Decode(base64, bytes);
    if (!size || *size < data_key.bytes.size())
        return false;
    std::copy_n(bytes.begin(), data_key.bytes.size(), data_key.bytes.begin());
    return true;
}

bool MakeDataKey(CipherKey& data_key) {
    return kelvo::FillSystemRandom(data_key.bytes);
}

bool HasMasterPassword() {
    return OpenChunksXml()->Select(kElement, false);
}

bool VerifyMasterPassword(std::wstring_view password, CipherKey& data_key) {
    auto xml = OpenChunksXml();
    if (!xml->Select(kElement, false))
        return false;
    const std::optional<std::wstring> wrapped = xml->GetText();
    return wrapped && !wrapped->empty() &&
           UnwrapDataKey(AsU16(password), AsU16(*wrapped), data_key);
}

namespace {

// Attempts while other writers keep replacing the file.
constexpr int kAttempts = 5;

KeyWrite WriteKey(std::wstring_view password, const std::optional<std::wstring_view>& old_password,
                  const CipherKey* first_key, bool new_library) {
    using Outcome = KeyWrite::Outcome;
    const CWriteLock lock(ChunksXmlPath());
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        auto xml = OpenChunksXml();
        const FileState state = xml->State();
        if (xml->Depth() == 0 ||
            (state != FileState::kRead && !(state == FileState::kMissing && new_library)))
            return {.outcome = Outcome::kUnreadable, .state = state, .error = xml->ReadError()};
        CipherKey data_key;
        if (xml->Select(kElement, false)) {
            if (!old_password)
                return {.outcome = Outcome::kPasswordExists};
            const std::optional<std::wstring> wrapped = xml->GetText();
            if (!wrapped || !UnwrapDataKey(AsU16(*old_password), AsU16(*wrapped), data_key))
                return {.outcome = Outcome::kWrongPassword};
            xml->Up();
        } else if (old_password) {
            return {.outcome = Outcome::kPasswordGone};
        } else if (first_key) {
            data_key = *first_key;
        } else if (!MakeDataKey(data_key)) {
            return {.outcome = Outcome::kNoRandomKey};
        }
        if (!xml->SetChildText(kElement, AsWide(WrapDataKey(AsU16(password), data_key))))
            return {.outcome = Outcome::kNotSaved, .error = ERROR_INVALID_DATA};
        ::SetLastError(ERROR_SUCCESS);
        switch (xml->SaveIfUnchanged()) {
        case ReplaceResult::kReplaced:
            return {};
        case ReplaceResult::kChanged:
            continue; // decided again on what the file holds now
        case ReplaceResult::kFailed: {
            const DWORD error = ::GetLastError();
            return {.outcome = Outcome::kNotSaved,
                    .error = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT};
        }
        }
    }
    return {.outcome = Outcome::kNotSaved, .error = ERROR_SHARING_VIOLATION};
}

} // namespace

KeyWrite SetMasterPassword(std::wstring_view password,
                           const std::optional<std::wstring_view>& old_password, bool new_library) {
    return WriteKey(password, old_password, nullptr, new_library);
}

bool StoreDataKey(std::wstring_view password, const CipherKey& data_key) {
    const KeyWrite result = WriteKey(password, std::nullopt, &data_key, true);
    ::SetLastError(result.outcome == KeyWrite::Outcome::kNotSaved ? result.error
                   : result.outcome == KeyWrite::Outcome::kStored ? ERROR_SUCCESS
                                                                  : ERROR_INVALID_DATA);
    return result.outcome == KeyWrite::Outcome::kStored;
}
