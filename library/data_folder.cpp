#include "library/data_folder.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "base/com.h"

namespace {

// Paths from this length on need the extended form (directories have 12
// characters less than files, for an 8.3 name inside them).
constexpr std::size_t kClassicLimit = MAX_PATH - 12;

void EnsureTrailingBackslash(std::wstring& path) {
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    path.push_back(L'\\');
}

// Creates the folder with every missing parent.
bool CreateFolderWithParents(const std::wstring& folder) {
    auto create = [](const std::wstring& path) {
        return ::CreateDirectoryW(LongPathForm(path).c_str(), nullptr) ||
               ::GetLastError() == ERROR_ALREADY_EXISTS;
    };
    if (create(folder))
        return true;
    if (::GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    const auto slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0)
        return false;
    return CreateFolderWithParents(folder.substr(0, slash)) && create(folder);
}

} // namespace

std::wstring GetExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring GetExecutableFolder() {
    std::wstring path = GetExecutablePath();
    path.resize(path.find_last_of(L'\\') + 1);
    EnsureTrailingBackslash(path);
    return path;
}

std::wstring GetDataFolder() {
    std::wstring exe_folder = GetExecutableFolder();
    if (::GetFileAttributesW(LongPathForm(exe_folder + L"portable").c_str()) !=
        INVALID_FILE_ATTRIBUTES)
        return exe_folder;

    kelvo::UniqueCotaskmemString app_data;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, app_data.Put())))
        return exe_folder; // no profile folder at all: beside the program is the only place left
    return PerUserDataFolder(app_data.Get());
}

std::wstring PerUserDataFolder(std::wstring app_data) {
    EnsureTrailingBackslash(app_data);
    app_data += L"Vantrel\\Kelvo";
    if (::GetFileAttributesW(LongPathForm(app_data).c_str()) == INVALID_FILE_ATTRIBUTES)
        CreateFolderWithParents(app_data);
    app_data.push_back(L'\\');
    return app_data;
}

std::wstring LongPathForm(const std::wstring& path) {
    if (path.size() < kClassicLimit || path.rfind(L"\\\\?\\", 0) == 0)
        return path;
    std::wstring full(path.size() + 1, L'\0');
    DWORD n =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    }
    if (n == 0 || n >= full.size())
        return path;
    full.resize(n);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
