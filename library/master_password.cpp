#include "library/master_password.h"

#include <windows.h>

#include <algorithm>

#include "base/utf16.h"
#include "base/wipe.h"
#include "crypto/base64.h"
#include "crypto/system_random.h"
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

bool StoreDataKey(std::wstring_view password, const CipherKey& data_key) {
    const std::u16string wrapped = WrapDataKey(AsU16(password), data_key);
    DWORD error = ERROR_SUCCESS;
    {
        auto xml = OpenChunksXml();
        if (!xml->SetChildText(kElement, AsWide(wrapped))) {
            // The file holds a well-formed document that is not a library, which
            // is never overwritten, or the XML layer failed.
            error = ERROR_INVALID_DATA;
        } else {
            ::SetLastError(ERROR_SUCCESS);
            if (!xml->Save())
                error = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_WRITE_FAULT;
        }
    }
    // Set after the document is dropped, whose release might overwrite it.
    ::SetLastError(error);
    return error == ERROR_SUCCESS;
}
