#include "library/data_folder.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

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
