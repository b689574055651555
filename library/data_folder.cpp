#include "library/data_folder.h"

#include <windows.h>

#include <shlobj.h>

namespace {

void EnsureTrailingBackslash(std::wstring& path) {
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    path.push_back(L'\\');
}

} // namespace

std::wstring GetExecutableFolder() {
    // Long paths are allowed: grow the buffer until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.find_last_of(L'\\') + 1);
    EnsureTrailingBackslash(path);
    return path;
}

std::wstring GetDataFolder() {
    std::wstring exe_folder = GetExecutableFolder();
    if (::GetFileAttributesW((exe_folder + L"portable").c_str()) != INVALID_FILE_ATTRIBUTES)
        return exe_folder;

    wchar_t appdata[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, appdata, CSIDL_APPDATA, FALSE))
        return exe_folder; // no profile folder at all: beside the program is the only place left
    std::wstring folder = appdata;
    EnsureTrailingBackslash(folder);
    folder += L"Vantrel\\Kelvo";
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    folder.push_back(L'\\');
    return folder;
}
