#include "library/file_replace.h"

#include <windows.h>

#include <algorithm>

#include "base/win_handles.h"
#include "library/data_folder.h"

namespace {

constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

// "\\?\C:\x" as "C:\x" and "\\?\UNC\server\x" as "\\server\x" where the short
// form stays within the classic limit; longer paths keep the prefix.
std::wstring WithoutExtendedPrefix(std::wstring path) {
    if (path.rfind(kExtendedUncPrefix, 0) == 0) {
        if (path.size() - kExtendedUncPrefix.size() + 2 < MAX_PATH)
            return L"\\\\" + path.substr(kExtendedUncPrefix.size());
    } else if (path.rfind(kExtendedPrefix, 0) == 0) {
        if (path.size() - kExtendedPrefix.size() < MAX_PATH)
            return path.substr(kExtendedPrefix.size());
    }
    return path;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteAndFlush(HANDLE file, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    // On the disk before it replaces the target: a power loss then leaves the
    // old or the new file, not a renamed empty one.
    return ::FlushFileBuffers(file) != FALSE;
}

// Creates a new temporary file beside the target and writes the bytes into
// it; its path, or nothing.
std::wstring WriteTemporary(const std::wstring& target, std::string_view bytes) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temp = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(::GetTickCount64()) + L"-" +
                                  std::to_wstring(++counter) + std::wstring(kTemporaryMarker);
        auto file =
            kelvo::AdoptFile(::CreateFileW(LongPathForm(temp).c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            if (::GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return {};
        }
        bool ok = WriteAndFlush(file.Get(), bytes);
        ok = ::CloseHandle(file.Release()) && ok;
        if (ok)
            return temp;
        ::DeleteFileW(LongPathForm(temp).c_str());
        return {};
    }
    return {};
}

// Calls `each` with the path and the find data of every
// "<target>.<anything>.kelvo-tmp" beside the target.
template <typename Each> void ForEachTemporary(const std::wstring& target, Each each) {
    const auto slash = target.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
    const std::wstring stem = target.substr(folder.size()) + L".";
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(
        LongPathForm(target + L".*" + std::wstring(kTemporaryMarker)).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view name = found.cFileName;
        // The pattern also matches short 8.3 names; check the long one.
        if (name.size() > stem.size() + kTemporaryMarker.size() && name.rfind(stem, 0) == 0 &&
            name.substr(name.size() - kTemporaryMarker.size()) == kTemporaryMarker)
            each(folder + std::wstring(name), found);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

void RemoveStrayTemporaries(const std::wstring& target) {
    ForEachTemporary(target, [](const std::wstring& temp, const WIN32_FIND_DATAW&) {
        ::DeleteFileW(LongPathForm(temp).c_str());
    });
}

bool MoveIntoPlace(const std::wstring& temp, const std::wstring& target) {
    return ::MoveFileExW(LongPathForm(temp).c_str(), LongPathForm(target).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

std::wstring FinalPathOf(const std::wstring& path) {
    auto file = kelvo::AdoptFile(
        ::CreateFileW(LongPathForm(path).c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return path;
    std::wstring final_path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetFinalPathNameByHandleW(file.Get(), final_path.data(),
                                              static_cast<DWORD>(final_path.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return path;
        if (n < final_path.size()) {
            final_path.resize(n);
            return WithoutExtendedPrefix(std::move(final_path));
        }
        final_path.resize(n);
    }
}

bool RestoreInterruptedReplace(const std::wstring& path) {
    if (Exists(path))
        return false;
    // The target goes only once its replacement is written and flushed: the
    // newest temporary file is whole.
    std::wstring newest;
    ULARGE_INTEGER newest_time{};
    ForEachTemporary(path, [&](const std::wstring& temp, const WIN32_FIND_DATAW& found) {
        const ULARGE_INTEGER time{
            {found.ftLastWriteTime.dwLowDateTime, found.ftLastWriteTime.dwHighDateTime}};
        if (newest.empty() || time.QuadPart > newest_time.QuadPart) {
            newest = temp;
            newest_time = time;
        }
    });
    return !newest.empty() && MoveIntoPlace(newest, path);
}

bool ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
    const std::wstring target = FinalPathOf(path);
    const std::wstring temp = WriteTemporary(target, bytes);
    if (temp.empty())
        return false;

    bool replaced = false;
    DWORD error = ERROR_SUCCESS;
    bool target_gone = !Exists(target);
    if (!target_gone) {
        // Clears read-only, hidden and system, which the replacement refuses.
        ::SetFileAttributesW(LongPathForm(target).c_str(), FILE_ATTRIBUTE_ARCHIVE);
        // Keeps the target's security, streams and creation time.
        replaced = ::ReplaceFileW(LongPathForm(target).c_str(), LongPathForm(temp).c_str(), nullptr,
                                  0, nullptr, nullptr) != FALSE;
        if (!replaced) {
            error = ::GetLastError();
            // Removed meanwhile, or (as documented for this error without a
            // backup name) the target is gone and the new file still has its
            // temporary name: either way the move puts it in place.
            target_gone = error == ERROR_FILE_NOT_FOUND ||
                          error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || !Exists(target);
        }
    }
    if (target_gone) {
        replaced = MoveIntoPlace(temp, target);
        error = replaced ? ERROR_SUCCESS : ::GetLastError();
    }

    if (!replaced) {
        // The temporary file is the only copy left when the target is gone.
        if (Exists(target))
            ::DeleteFileW(LongPathForm(temp).c_str());
        // Callers tell the user why a save failed.
        ::SetLastError(error);
        return false;
    }
    RemoveStrayTemporaries(target);
    return true;
}

std::wstring StampedPath(const std::wstring& path, std::wstring_view mark, int attempt) {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"-%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    std::wstring name = path + L"." + std::wstring(mark) + stamp;
    if (attempt > 0)
        name += L"-" + std::to_wstring(attempt + 1);
    return name;
}
