#include "library/file_replace.h"

#include <windows.h>

#include <algorithm>
#include <optional>

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

// A name beside the target that no file has yet, in the form the stray
// removal and the recovery of an interrupted replacement know.
std::wstring TemporaryName(const std::wstring& target) {
    static unsigned counter = 0;
    for (;;) {
        std::wstring name = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                            std::to_wstring(::GetTickCount64()) + L"-" +
                            std::to_wstring(++counter) + std::wstring(kTemporaryMarker);
        if (!Exists(name))
            return name;
    }
}

// The name the replacement moves the old target to, paired with the
// temporary file that replaces it: a pair of both with no target tells a
// replacement cut short between its two moves.
std::wstring BackupNameOf(const std::wstring& temp) {
    return temp.substr(0, temp.size() - kTemporaryMarker.size()) + L".replaced" +
           std::wstring(kTemporaryMarker);
}

// Creates a new temporary file beside the target and writes the bytes into
// it; its path, or nothing.
std::wstring WriteTemporary(const std::wstring& target, std::string_view bytes) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temp = TemporaryName(target);
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
        const DWORD error = ::GetLastError();
        ::DeleteFileW(LongPathForm(temp).c_str());
        ::SetLastError(error);
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

bool MoveIntoPlace(const std::wstring& temp, const std::wstring& target, bool replace = true) {
    return ::MoveFileExW(LongPathForm(temp).c_str(), LongPathForm(target).c_str(),
                         MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0)) !=
           FALSE;
}

void Remove(const std::wstring& path) {
    ::DeleteFileW(LongPathForm(path).c_str());
}

} // namespace

std::optional<FileContents> CurrentContents(const std::wstring& path) {
    auto file =
        kelvo::AdoptFile(::CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return FileContents{};
        ::SetLastError(error);
        return std::nullopt;
    }
    // The same hash as over the whole file at once, a piece at a time.
    std::uint64_t hash = kContentHashStart;
    std::uint64_t size = 0;
    std::string buffer(1 << 20, '\0');
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                        nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        hash = ContentHash(std::string_view(buffer).substr(0, read), hash);
        size += read;
    }
    return FileContents{.exists = true, .size = size, .hash = hash};
}

namespace {

// Whether something holds the name of a path that shows no file: a link whose
// target is missing, as some systems (Wine) show it. Making a file there tells;
// the file made goes again at once.
bool NameTakenByWhatIsOutOfReach(const std::wstring& path) {
    const std::wstring long_path = LongPathForm(path);
    if (::GetFileAttributesW(long_path.c_str()) != INVALID_FILE_ATTRIBUTES ||
        ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    const HANDLE probe = ::CreateFileW(long_path.c_str(), DELETE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        return false;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
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
    // Only a replacement whose old file was moved away has its new one whole
    // (it is flushed first). A temporary file without that pair was cut short
    // while it was written, or is left from a crash long ago: a target missing
    // now was moved or deleted by the user, and stays so.
    bool restored = false;
    ForEachTemporary(path, [&](const std::wstring& temp, const WIN32_FIND_DATAW&) {
        const std::wstring backup = BackupNameOf(temp);
        if (restored || !Exists(backup) || !MoveIntoPlace(temp, path, false))
            return;
        Remove(backup);
        restored = true;
    });
    return restored;
}

std::uint64_t ContentHash(std::string_view bytes, std::uint64_t so_far) {
    std::uint64_t hash = so_far;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

bool IsDanglingLink(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(LongPathForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    // Opening follows the link to what it names.
    const auto file = kelvo::AdoptFile(
        ::CreateFileW(LongPathForm(path).c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !file;
}

ReplaceResult ReplaceFileContents(const std::wstring& path, std::string_view bytes,
                                  const std::optional<FileContents>& expected) {
    if (IsDanglingLink(path) || NameTakenByWhatIsOutOfReach(path)) {
        // Its target may come back (a drive not yet mounted): a file in place
        // of the link would hide it.
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return ReplaceResult::kFailed;
    }
    const std::wstring target = FinalPathOf(path);
    const std::wstring temp = WriteTemporary(target, bytes);
    if (temp.empty())
        return ReplaceResult::kFailed;
    auto fail = [&](DWORD error) {
        Remove(temp);
        ::SetLastError(error);
        return ReplaceResult::kFailed;
    };
    auto changed = [&] {
        Remove(temp);
        return ReplaceResult::kChanged;
    };

    // Checked once the new contents are on the disk, so that the moment
    // between the check and the replacement is as short as it can be.
    if (expected) {
        const auto now = CurrentContents(target);
        if (!now)
            return fail(::GetLastError());
        if (*now != *expected)
            return changed();
    }

    if (!Exists(target)) {
        if (expected && expected->exists)
            return changed();
        // Created only: a file another writer put there meanwhile stays.
        if (!MoveIntoPlace(temp, target, !expected)) {
            const DWORD error = ::GetLastError();
            if (expected && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
                return changed();
            return fail(error);
        }
        RemoveStrayTemporaries(target);
        return ReplaceResult::kReplaced;
    }

    // Clears read-only, hidden and system, which the replacement refuses.
    ::SetFileAttributesW(LongPathForm(target).c_str(), FILE_ATTRIBUTE_ARCHIVE);
    // Keeps the target's security, streams and creation time. The old file
    // goes to a name of ours: without one, some systems' replace (Wine's)
    // makes a temporary file of its own and leaves it behind when it fails.
    const std::wstring backup = BackupNameOf(temp);
    if (::ReplaceFileW(LongPathForm(target).c_str(), LongPathForm(temp).c_str(),
                       LongPathForm(backup).c_str(), 0, nullptr, nullptr)) {
        Remove(backup);
        RemoveStrayTemporaries(target);
        return ReplaceResult::kReplaced;
    }
    const DWORD error = ::GetLastError();
    if (Exists(target)) {
        // Nothing was moved (ERROR_UNABLE_TO_MOVE_REPLACEMENT with a backup
        // name leaves both files under their names).
        if (Exists(backup))
            Remove(backup);
        return fail(error);
    }
    if (!Exists(backup)) {
        // Removed by someone else meanwhile, not by the replacement.
        if (expected)
            return changed();
        if (MoveIntoPlace(temp, target))
            return ReplaceResult::kReplaced;
        return fail(::GetLastError());
    }
    // The old file was moved away and ours could not follow it in
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT_2): ours goes in now, or the old one
    // back.
    if (MoveIntoPlace(temp, target, false)) {
        Remove(backup);
        RemoveStrayTemporaries(target);
        return ReplaceResult::kReplaced;
    }
    const DWORD move_error = ::GetLastError();
    MoveIntoPlace(backup, target, false);
    return fail(move_error != ERROR_SUCCESS ? move_error : error);
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
