#pragma once
// One writer of a data file at a time, across the processes and machines that
// share its folder: a lock file beside the file's final target, held without
// sharing from the read that a save starts with to the replacement it ends
// with, and removed by the system when its holder closes it or dies.

#include <windows.h>

#include <string>

#include "base/win_handles.h"

class CWriteLock {
public:
    // Longer than the longest save of a large library.
    static constexpr DWORD kWaitMs = 10000;

    // Takes the lock of the file at `path`, waiting up to `wait_ms` while
    // another writer holds it.
    explicit CWriteLock(const std::wstring& path, DWORD wait_ms = kWaitMs);
    // False when it could not be taken: the folder takes no lock file, or
    // another writer held it throughout. A save then still checks the file
    // before it replaces it.
    bool Held() const noexcept { return static_cast<bool>(m_file); }

private:
    kelvo::UniqueHandle m_file;
};

// The lock file of the file at `path`, beside its final target.
std::wstring WriteLockPath(const std::wstring& path);
