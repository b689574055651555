#pragma once
// Watches the folder that holds the library for what other writers (a sync
// client, the program on another PC through a synced folder) do to its files,
// on a thread of its own, and finds the copies sync clients make of a library
// two PCs changed at once.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/win_handles.h"

namespace kelvo {

// What a change touched; a change the folder cannot name (an overflow, the
// folder replaced) touches all.
enum WatchedFiles : unsigned {
    kChunksFile = 1,
    kSettingsFile = 2,
    kConflictCopies = 4,
    kAllWatchedFiles = 7,
};

// Whether `name`, a file in the library's folder, is a copy a sync client made
// of the library `library_name` when two versions met: the library's stem,
// something saying "conflict", and its extension, such as "chunks (PC's
// conflicted copy 2026-12-10).xml" or "chunks.sync-conflict-20261210-101500-
// ABC.xml". Case is ignored.
bool IsConflictCopyName(std::wstring_view name, std::wstring_view library_name);

// The conflict copies of `library_name` in `folder` (ending in a backslash),
// as paths, in name order.
std::vector<std::wstring> FindConflictCopies(const std::wstring& folder,
                                             std::wstring_view library_name);

// What polling compares where notifications do not come (network folders):
// whether the file is there, its size and its last write.
struct FileStamp {
    bool exists = false;
    ULONGLONG size = 0;
    ULONGLONG last_write = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::wstring& path);

class CFolderWatcher {
public:
    struct Timing {
        DWORD quiet_ms = 500;    // changes are reported once quiet this long
        DWORD longest_ms = 5000; // or this long after the first
        // How often the folder is checked for having been replaced (renamed
        // away and made again: the notifications follow the old one).
        DWORD check_ms = 30000;
    };
    // Gets the WatchedFiles bits; runs on the watcher's thread.
    using Changed = std::function<void(unsigned files)>;

    // Watches `folder` (ending in a backslash) for changes of the files named
    // `chunks_name` and `settings_name` (empty: none) and for conflict copies
    // of the first. Watches from the moment it is made.
    CFolderWatcher(std::wstring folder, std::wstring chunks_name, std::wstring settings_name,
                   Changed changed, Timing timing);
    CFolderWatcher(std::wstring folder, std::wstring chunks_name, std::wstring settings_name,
                   Changed changed)
        : CFolderWatcher(std::move(folder), std::move(chunks_name), std::move(settings_name),
                         std::move(changed), Timing{}) {}
    // Stops the thread.
    ~CFolderWatcher();
    CFolderWatcher(const CFolderWatcher&) = delete;
    CFolderWatcher& operator=(const CFolderWatcher&) = delete;

private:
    void Run();
    // Opens the folder and asks for the first notification; false when the
    // folder cannot be watched (then only the checks find it again).
    bool Open();
    void Close();
    bool Arm();
    // Whether the folder at the path is still the one the handle watches.
    bool SameFolder() const;
    unsigned Classify(const BYTE* records, DWORD size) const;

    const std::wstring m_folder;
    const std::wstring m_chunksName;
    const std::wstring m_settingsName;
    const Changed m_changed;
    const Timing m_timing;
    UniqueHandle m_stop;
    UniqueHandle m_event;
    UniqueHandle m_dir;
    OVERLAPPED m_overlapped{};
    // DWORD-aligned, as the notification records must be.
    std::vector<DWORD> m_buffer;
    std::thread m_thread;
};

} // namespace kelvo
