#include "library/master_password.h"

#include <gtest/gtest.h>

#include <ctime>

#include "base/win_handles.h"
#include "crypto/base64.h"
#include "library/portable_data_test.h"
#include "library/test_library.h"

using kelvo::CCipher;
using kelvo::CipherKey;
using test_library::PasswordElement;

namespace {

CipherKey KeyOf(std::uint8_t first) {
    CipherKey key;
    for (std::size_t i = 0; i < key.bytes.size(); ++i)
        key.bytes[i] = static_cast<std::uint8_t>(first + i);
    return key;
}

std::string Narrow(std::u16string_view ascii) {
    return std::string(ascii.begin(), ascii.end());
}

// How data keys were made before they came from the system's generator:
// MakeKey of 100 code units from 33 to 238, drawn from the C runtime's rand()
// seeded with the time in seconds.
CipherKey TimeSeededDataKey(std::uint32_t seed) {
    std::uint32_t state = seed;
    std::u16string text;
    for (int i = 0; i < 100; ++i) {
        state = state * 214013u + 2531011u;
        const int r = static_cast<int>((state >> 16) & 0x7FFF);
        text.push_back(static_cast<char16_t>(33 + static_cast<int>(r / 32768.0 * 206)));
    }
    return CCipher().MakeKey(text);
}

} // namespace

TEST(WrapDataKey, IsTheKeysBase64EncryptedUnderThePassword) {
    const CipherKey key = KeyOf(7);
    const std::u16string wrapped = WrapDataKey(u"Secret", key);
    EXPECT_EQ(wrapped.size(), 172u);

    kelvo::WipedString<char16_t> base64;
    ASSERT_TRUE(CCipher().Decrypt(CCipher().MakeKey(u"Secret"), wrapped, base64));
    std::u16string expected;
    kelvo::Base64Encode(key.bytes, expected);
    EXPECT_EQ(base64.view(), expected);
    EXPECT_EQ(base64.size(), 44u);

    CipherKey back = KeyOf(100);
    ASSERT_TRUE(UnwrapDataKey(u"Secret", wrapped, back));
    EXPECT_EQ(back, key);
}

TEST(UnwrapDataKey, RefusesWrongPasswordsAndDamagedForms) {
    const std::u16string wrapped = WrapDataKey(u"Secret", KeyOf(7));
    std::u16string damaged = wrapped;
    damaged[100] = damaged[100] == u'A' ? u'B' : u'A';
    std::u16string not_a_key, short_key;
    CCipher().Encrypt(CCipher().MakeKey(u"Secret"), u"not Base64!", not_a_key);
    CCipher().Encrypt(CCipher().MakeKey(u"Secret"), u"AAAA", short_key);
    const struct {
        std::u16string_view password;
        std::u16string_view wrapped;
    } cases[] = {
        {u"secret", wrapped},   {u"", wrapped},         {u"Secret ", wrapped},
        {u"Secret", damaged},   {u"Secret", u""},       {u"Secret", wrapped.substr(0, 88)},
        {u"Secret", not_a_key}, {u"Secret", short_key},
    };
    for (const auto& c : cases) {
        CipherKey key = KeyOf(100);
        EXPECT_FALSE(UnwrapDataKey(c.password, c.wrapped, key))
            << Narrow(c.password) << " " << Narrow(c.wrapped);
        EXPECT_EQ(key, KeyOf(100)) << "left untouched";
    }
}

using MasterPasswordTest = PortableDataTest;

TEST_F(MasterPasswordTest, FirstSettingStoresARandomKeyThatOnlyThePasswordUnwraps) {
    EXPECT_FALSE(HasMasterPassword());
    CipherKey key;
    ASSERT_TRUE(MakeDataKey(key));
    EXPECT_NE(key, CipherKey{});
    ASSERT_TRUE(StoreDataKey(L"Secret", key));
    EXPECT_TRUE(HasMasterPassword());
    const std::string first = PasswordElement(ChunksFile());
    EXPECT_EQ(first.size(), 172u) << ChunksFile();

    CipherKey back;
    EXPECT_TRUE(VerifyMasterPassword(L"Secret", back));
    EXPECT_EQ(back, key);
    for (const wchar_t* wrong : {L"", L"secret", L"Secret2"})
        EXPECT_FALSE(VerifyMasterPassword(wrong, back)) << wrong;

    // A second library made the same way holds another key.
    RemoveDataFiles();
    CipherKey other;
    ASSERT_TRUE(MakeDataKey(other));
    ASSERT_TRUE(StoreDataKey(L"Secret", other));
    EXPECT_NE(other, key);
    EXPECT_NE(PasswordElement(ChunksFile()), first);
}

TEST_F(MasterPasswordTest, ALibraryWithoutAUsableElementRefusesEveryPassword) {
    for (const char* library : {"<kelvo><chunks/></kelvo>", "<kelvo><password/></kelvo>",
                                "<kelvo><password>  </password></kelvo>",
                                "<kelvo><chunks><password>x</password>"
                                "</chunks></kelvo>"}) {
        WriteChunks(library);
        CipherKey key;
        for (const wchar_t* password : {L"", L"Secret"})
            EXPECT_FALSE(VerifyMasterPassword(password, key)) << library;
    }
    WriteChunks("<kelvo><chunks/></kelvo>");
    EXPECT_FALSE(HasMasterPassword());
}

TEST_F(MasterPasswordTest, AKeyFromTheTimeSeededGeneratorStillUnlocksItsChunks) {
    const CipherKey key = TimeSeededDataKey(static_cast<std::uint32_t>(std::time(nullptr)));
    const std::vector<std::wstring> texts = {L"user[TAB]pass[ENTER]", L"", L"\u00e9t\u00e9"};
    test_library::Write(L"Old one", key, texts);
    EXPECT_EQ(PasswordElement(ChunksFile()).size(), 172u);

    CipherKey back;
    ASSERT_TRUE(VerifyMasterPassword(L"Old one", back));
    EXPECT_EQ(back, key);
    EXPECT_EQ(test_library::Decrypted(back), texts);
}

TEST_F(MasterPasswordTest, AFailedSaveLeavesTheFileAndTellsWhy) {
    ASSERT_TRUE(StoreDataKey(L"Secret", KeyOf(1)));
    const std::string before = ChunksFile();
    const auto files = test_files::List(m_folder);
    {
        // Another program reads the file and lets nobody replace it.
        HANDLE held = ::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        const KeyWrite result = SetMasterPassword(L"Other", L"Secret", false);
        EXPECT_EQ(result.outcome, KeyWrite::Outcome::kNotSaved);
        // The system's own reason for the refused replacement.
        EXPECT_TRUE(result.error == ERROR_ACCESS_DENIED ||
                    result.error == ERROR_SHARING_VIOLATION ||
                    result.error == ERROR_UNABLE_TO_REMOVE_REPLACED)
            << result.error;
        ::CloseHandle(held);
    }
    EXPECT_EQ(ChunksFile(), before);
    EXPECT_EQ(test_files::List(m_folder), files) << "no temporary file is left behind";

    // A well-formed file that is not a library is never overwritten.
    WriteChunks("<other/>");
    EXPECT_EQ(SetMasterPassword(L"Other", L"Secret", false).outcome,
              KeyWrite::Outcome::kUnreadable);
    EXPECT_FALSE(StoreDataKey(L"Other", KeyOf(1)));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(ChunksFile(), "<other/>");
}

TEST_F(MasterPasswordTest, IsDecidedOnTheFileAsItIsWhenWritten) {
    using Outcome = KeyWrite::Outcome;
    const std::vector<std::wstring> texts = {L"first secret", L"second"};
    enum class File { kLibrary, kHeld, kMissing, kDamaged, kEmpty };
    const struct {
        const char* name;
        File file;
        bool with_key;               // the library holds a wrapped key
        const wchar_t* old_password; // null: a first setting
        bool new_library;
        Outcome outcome;
        FileState state = FileState::kRead;
    } cases[] = {
        // The dialog opened while the file was held, or before another PC set one.
        {"first setting over a key set meanwhile", File::kLibrary, true, nullptr, false,
         Outcome::kPasswordExists},
        {"change with the right old password", File::kLibrary, true, L"Old", false,
         Outcome::kStored},
        {"change with a wrong old password", File::kLibrary, true, L"old", false,
         Outcome::kWrongPassword},
        {"change after the key went", File::kLibrary, false, L"Old", false, Outcome::kPasswordGone},
        {"first setting", File::kLibrary, false, nullptr, false, Outcome::kStored},
        {"held throughout", File::kHeld, true, L"Old", false, Outcome::kUnreadable,
         FileState::kHeld},
        {"held throughout, first setting", File::kHeld, false, nullptr, false, Outcome::kUnreadable,
         FileState::kHeld},
        {"missing", File::kMissing, false, nullptr, false, Outcome::kUnreadable,
         FileState::kMissing},
        {"damaged", File::kDamaged, false, nullptr, true, Outcome::kUnreadable,
         FileState::kDamaged},
        {"empty", File::kEmpty, false, nullptr, true, Outcome::kUnreadable, FileState::kEmpty},
        {"missing, for a new library", File::kMissing, false, nullptr, true, Outcome::kStored},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveDataFiles();
        CipherKey key = KeyOf(9);
        if (c.with_key)
            key = test_library::Make(L"Old", texts);
        else
            test_library::WritePlain(texts);
        switch (c.file) {
        case File::kMissing:
            RemoveDataFiles();
            break;
        case File::kDamaged:
            WriteChunks(ChunksFile().substr(0, 90));
            break;
        case File::kEmpty:
            WriteChunks("");
            break;
        default:
            break;
        }
        const std::string before = ChunksFile();
        kelvo::UniqueHandle held;
        if (c.file == File::kHeld)
            held = kelvo::AdoptFile(::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, 0, nullptr,
                                                  OPEN_EXISTING, 0, nullptr));
        const KeyWrite result = SetMasterPassword(
            L"New",
            c.old_password ? std::optional<std::wstring_view>(c.old_password) : std::nullopt,
            c.new_library);
        held.Reset();
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome == Outcome::kUnreadable) {
            EXPECT_EQ(result.state, c.state);
        }
        if (c.outcome != Outcome::kStored) {
            EXPECT_EQ(ChunksFile(), before) << "nothing written";
            EXPECT_EQ(test_files::Exists(m_chunksPath), c.file != File::kMissing);
            continue;
        }
        CipherKey back;
        ASSERT_TRUE(VerifyMasterPassword(L"New", back));
        if (c.with_key) {
            EXPECT_EQ(back, key) << "the same data key, wrapped anew";
            EXPECT_EQ(test_library::Decrypted(back), texts);
        } else if (c.file == File::kLibrary) {
            EXPECT_EQ(test_library::Titles(), (std::vector<std::wstring>{L"title", L"title"}))
                << "the chunks stay";
        }
    }
    for (const auto& name : test_files::List(m_folder))
        EXPECT_EQ(name.find(L".unreadable-"), std::wstring::npos)
            << "nothing was kept: none written";
}
