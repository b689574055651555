#include "library/folder_watcher.h"

#include <algorithm>

#include "library/data_folder.h"

namespace kelvo {

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024; // the most a network folder takes
constexpr DWORD kNotifyFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

bool SameName(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool Contains(std::wstring_view text, std::wstring_view part) {
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
        if (SameName(text.substr(at, part.size()), part))
            return true;
    return false;
}

UniqueHandle OpenFolder(const std::wstring& folder, DWORD flags) {
    return AdoptFile(::CreateFileW(LongPathForm(folder).c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

bool Identify(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileInformationByHandle(handle, &info) != FALSE;
}

} // namespace

bool IsConflictCopyName(std::wstring_view name, std::wstring_view library_name) {
    const std::size_t dot = library_name.rfind(L'.');
    const std::wstring_view stem = library_name.substr(0, dot);
    const std::wstring_view extension =
        dot == library_name.npos ? std::wstring_view() : library_name.substr(dot);
    if (name.size() <= library_name.size() || !SameName(name.substr(0, stem.size()), stem) ||
        !SameName(name.substr(name.size() - extension.size()), extension))
        return false;
    return Contains(name.substr(stem.size(), name.size() - stem.size() - extension.size()),
                    L"conflict");
}

std::vector<std::wstring> FindConflictCopies(const std::wstring& folder,
                                             std::wstring_view library_name) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileExW(LongPathForm(folder + L"*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsConflictCopyName(found.cFileName, library_name))
            names.emplace_back(found.cFileName);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    for (auto& name : names)
        name.insert(0, folder);
    return names;
}

FileStamp StampOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    return {.exists = true,
            .size = (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
            .last_write = (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
                          data.ftLastWriteTime.dwLowDateTime};
}

CFolderWatcher::CFolderWatcher(std::wstring folder, std::wstring chunks_name,
                               std::wstring settings_name, Changed changed, Timing timing)
    : m_folder(std::move(folder)), m_chunksName(std::move(chunks_name)),
      m_settingsName(std::move(settings_name)), m_changed(std::move(changed)), m_timing(timing),
      m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_buffer(kBufferBytes / sizeof(DWORD)) {
    // Armed before the constructor returns: a change right after it is seen.
    Open();
    m_thread = std::thread([this] { Run(); });
}

CFolderWatcher::~CFolderWatcher() {
    ::SetEvent(m_stop.Get());
    m_thread.join();
}

bool CFolderWatcher::Open() {
    m_dir = OpenFolder(m_folder, FILE_FLAG_OVERLAPPED);
    if (m_dir && Arm())
        return true;
    m_dir.Reset();
    return false;
}

void CFolderWatcher::Close() {
    if (!m_dir)
        return;
    // The request must end before its buffer and handle go.
    DWORD bytes = 0;
    if (::CancelIoEx(m_dir.Get(), &m_overlapped) || ::GetLastError() != ERROR_NOT_FOUND)
        ::GetOverlappedResult(m_dir.Get(), &m_overlapped, &bytes, TRUE);
    m_dir.Reset();
}

bool CFolderWatcher::Arm() {
    ::ResetEvent(m_event.Get());
    m_overlapped = {};
    m_overlapped.hEvent = m_event.Get();
    return ::ReadDirectoryChangesW(m_dir.Get(), m_buffer.data(), kBufferBytes, FALSE, kNotifyFilter,
                                   nullptr, &m_overlapped, nullptr) != FALSE;
}

bool CFolderWatcher::SameFolder() const {
    BY_HANDLE_FILE_INFORMATION watched{}, now{};
    const UniqueHandle at_path = OpenFolder(m_folder, 0);
    return at_path && Identify(m_dir.Get(), watched) && Identify(at_path.Get(), now) &&
           watched.dwVolumeSerialNumber == now.dwVolumeSerialNumber &&
           watched.nFileIndexHigh == now.nFileIndexHigh &&
           watched.nFileIndexLow == now.nFileIndexLow;
}

unsigned CFolderWatcher::Classify(const BYTE* records, DWORD size) const {
    unsigned files = 0;
    for (DWORD offset = 0; offset + sizeof(FILE_NOTIFY_INFORMATION) <= size;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records + offset);
        const std::wstring_view name(record->FileName, record->FileNameLength / sizeof(wchar_t));
        if (SameName(name, m_chunksName))
            files |= kChunksFile;
        else if (!m_settingsName.empty() && SameName(name, m_settingsName))
            files |= kSettingsFile;
        else if (IsConflictCopyName(name, m_chunksName))
            files |= kConflictCopies;
        if (record->NextEntryOffset == 0)
            break;
        offset += record->NextEntryOffset;
    }
    return files;
}

void CFolderWatcher::Run() {
    unsigned pending = 0;
    ULONGLONG first = 0, last = 0;
    ULONGLONG next_check = ::GetTickCount64() + m_timing.check_ms;
    std::vector<BYTE> records;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        ULONGLONG due = next_check;
        if (pending)
            due = std::min({due, last + m_timing.quiet_ms, first + m_timing.longest_ms});
        const HANDLE handles[] = {m_stop.Get(), m_event.Get()};
        const DWORD woke = ::WaitForMultipleObjects(m_dir ? 2 : 1, handles, FALSE,
                                                    static_cast<DWORD>(due > now ? due - now : 0));
        if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
            break;
        unsigned files = 0;
        if (woke == WAIT_OBJECT_0 + 1) {
            DWORD bytes = 0;
            const bool read = ::GetOverlappedResult(m_dir.Get(), &m_overlapped, &bytes, FALSE);
            const DWORD error = read ? ERROR_SUCCESS : ::GetLastError();
            const auto* buffer = reinterpret_cast<const BYTE*>(m_buffer.data());
            records.assign(buffer, buffer + (read ? bytes : 0));
            // Armed again before the records are looked at: nothing between
            // is missed.
            const bool armed = (read || error == ERROR_NOTIFY_ENUM_DIR) && Arm();
            if (!armed)
                Close(); // the folder went; the check finds it again
            // No records: more changed than the buffer held.
            files = records.empty() ? kAllWatchedFiles
                                    : Classify(records.data(), static_cast<DWORD>(records.size()));
        } else if (::GetTickCount64() >= next_check) {
            next_check = ::GetTickCount64() + m_timing.check_ms;
            if (!m_dir || !SameFolder()) {
                Close();
                // A new folder at the path: whatever it holds is news.
                if (Open())
                    files = kAllWatchedFiles;
            }
        }
        const ULONGLONG at = ::GetTickCount64();
        if (files) {
            if (!pending)
                first = at;
            pending |= files;
            last = at;
        }
        // Changes that keep coming are still reported, at the longest wait.
        if (pending && (at >= last + m_timing.quiet_ms || at >= first + m_timing.longest_ms)) {
            m_changed(pending);
            pending = 0;
        }
    }
    Close();
}

} // namespace kelvo
