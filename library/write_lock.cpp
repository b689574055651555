#include "library/write_lock.h"

#include <algorithm>

#include "library/data_folder.h"
#include "library/file_replace.h"

std::wstring WriteLockPath(const std::wstring& path) {
    return FinalPathOf(path) + L".kelvo-lock";
}

CWriteLock::CWriteLock(const std::wstring& path, DWORD wait_ms) {
    const std::wstring lock = LongPathForm(WriteLockPath(path));
    const ULONGLONG until = ::GetTickCount64() + wait_ms;
    DWORD pause = 10;
    for (;;) {
        m_file = kelvo::AdoptFile(
            ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (m_file)
            return;
        const DWORD error = ::GetLastError();
        // Held by another writer, or closed by it and not yet gone; access
        // denied to a file that is not there means the folder takes none.
        bool busy = error == ERROR_SHARING_VIOLATION;
        if (error == ERROR_ACCESS_DENIED &&
            ::GetFileAttributesW(lock.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const DWORD why = ::GetLastError();
            busy = why != ERROR_FILE_NOT_FOUND && why != ERROR_PATH_NOT_FOUND;
        } else if (error == ERROR_ACCESS_DENIED) {
            busy = true;
        }
        if (!busy || ::GetTickCount64() >= until)
            return;
        ::Sleep(pause);
        pause = std::min<DWORD>(pause * 2, 100);
    }
}
