#include "library/data_folder.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "library/chunk_reader.h"
#include "library/test_files.h"
#include "library/xml_props.h"

namespace {

std::wstring RoamingAppData() {
    wchar_t path[MAX_PATH] = {};
    EXPECT_TRUE(::SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE));
    return path;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void EndsInOneBackslash(const std::wstring& folder) {
    ASSERT_GE(folder.size(), 2u);
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_NE(folder[folder.size() - 2], L'\\');
}

} // namespace

TEST(GetDataFolder, PerUserFolderIsCreatedWithItsParents) {
    std::wstring vantrel = RoamingAppData() + L"\\Vantrel";
    std::wstring kelvo = vantrel + L"\\Kelvo";
    ASSERT_FALSE(Exists(GetExecutableFolder() + L"portable"));
    // Leave no trace of earlier runs, so that both levels must be created.
    ::RemoveDirectoryW(kelvo.c_str());
    ::RemoveDirectoryW(vantrel.c_str());
    ASSERT_FALSE(Exists(vantrel));

    std::wstring folder = GetDataFolder();

    EXPECT_EQ(folder, kelvo + L"\\");
    EXPECT_TRUE(Exists(kelvo));
    EndsInOneBackslash(folder);
    EXPECT_EQ(GetDataFolder(), folder);
}

TEST(GetDataFolder, PortableEntryOfAnyKindSelectsTheExecutableFolder) {
    std::wstring exe_folder = GetExecutableFolder();
    EndsInOneBackslash(exe_folder);
    std::wstring marker = exe_folder + L"portable";

    HANDLE file = ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_EQ(GetDataFolder(), exe_folder) << "file named portable";
    ASSERT_TRUE(::DeleteFileW(marker.c_str()));

    ASSERT_TRUE(::CreateDirectoryW(marker.c_str(), nullptr));
    EXPECT_EQ(GetDataFolder(), exe_folder) << "folder named portable";
    ASSERT_TRUE(::RemoveDirectoryW(marker.c_str()));

    // Decided at every call: without the entry the per-user folder is back.
    EXPECT_NE(GetDataFolder(), exe_folder);
}

TEST(LongPathForm, OnlyLongPathsTakeTheExtendedForm) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'd') + L"\\file.xml";
    const std::wstring share = L"\\\\server\\share\\" + std::wstring(300, L's');
    EXPECT_EQ(LongPathForm(L"C:\\data\\chunks.xml"), L"C:\\data\\chunks.xml");
    EXPECT_EQ(LongPathForm(deep), L"\\\\?\\" + deep);
    EXPECT_EQ(LongPathForm(L"C:/" + deep.substr(3)), L"\\\\?\\" + deep) << "slashes normalised";
    EXPECT_EQ(LongPathForm(share), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L's'));
    EXPECT_EQ(LongPathForm(L"\\\\?\\" + deep), L"\\\\?\\" + deep);
}

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(LongPathForm(folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesW(LongPathForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(LongPathForm(path).c_str());
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(LongPathForm(folder).c_str());
}

bool ExistsAnyLength(const std::wstring& path) {
    return ::GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(GetDataFolder, AFolderOf300CharactersWorksEndToEnd) {
    const std::wstring root = GetExecutableFolder() + L"deep-profile";
    RemoveTree(root);
    std::wstring app_data = root;
    while (app_data.size() < 290)
        app_data += L"\\abcdefghijklmnopqrstuvwxyz0123456789";
    const std::wstring folder = PerUserDataFolder(app_data);
    EXPECT_EQ(folder, app_data + L"\\Vantrel\\Kelvo\\");
    EXPECT_GE(folder.size(), 300u);
    ASSERT_TRUE(ExistsAnyLength(folder));

    // The library there: written, written again over a read-only file and a
    // stray temporary file, and read back by the store's reader.
    const std::wstring chunks = folder + L"chunks.xml";
    for (const wchar_t* text : {L"first", L"second"}) {
        auto xml = OpenXmlFile(chunks);
        ASSERT_TRUE(xml->Select(L"chunks", true));
        if (!xml->Select(L"chunk", false)) {
            ASSERT_TRUE(xml->AddChild(L"chunk"));
        }
        xml->SetIntAttr(L"id", 1);
        ASSERT_TRUE(xml->SetChildText(nullptr, text));
        ASSERT_TRUE(xml->Save());
        ::SetFileAttributesW(LongPathForm(chunks).c_str(), FILE_ATTRIBUTE_READONLY);
        test_files::Write(LongPathForm(chunks + L".1-2-3.kelvo-tmp"), "stray");
    }
    const auto read = ReadChunksFile(chunks.c_str()).chunks;
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read.at(1)->text, L"second");
    EXPECT_TRUE(ExistsAnyLength(chunks + L".1-2-3.kelvo-tmp")) << "written after the last save";
    {
        auto xml = OpenXmlFile(chunks);
        ASSERT_TRUE(xml->Save());
    }
    EXPECT_FALSE(ExistsAnyLength(chunks + L".1-2-3.kelvo-tmp"));
    RemoveTree(root);
    EXPECT_FALSE(ExistsAnyLength(root));
}
