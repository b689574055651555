#include "app/library_sync.h"

#include <initializer_list>

#include "base/fill_text.h"
#include "library/file_replace.h"
#include "library/xml_props.h"
#include "ui/password_dlg.h"

using kelvo::FillText;
using kelvo::StampOf;

namespace {

std::wstring::size_type NameStart(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? 0 : slash + 1;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

// The data keys a merge needs, asked of the user.
class CLibrarySync::CMergeKeys final : public IMergeKeys {
public:
    explicit CMergeKeys(CLibrarySync& sync) noexcept : m_sync(sync) {}

    bool LibraryKey(kelvo::CipherKey& data_key) override {
        return m_sync.m_app.obtain_data_key(m_sync.m_app.owner(), data_key);
    }
    bool CopyKey(const std::wstring& path, std::u16string_view wrapped,
                 kelvo::CipherKey& data_key) override {
        const std::wstring told =
            FillText(m_sync.Text(L"WYN_MSG_MERGE_COPY_OTHER_KEY",
                                 L"The copy was saved under another master password:\n%1\n\nType "
                                 L"that password next, so that its encrypted chunks can be stored "
                                 L"under the library's."),
                     {path});
        if (::MessageBoxW(m_sync.m_app.owner(), told.c_str(),
                          m_sync.Text(L"appname", L"Kelvo").c_str(),
                          MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND) != IDOK)
            return false;
        CPasswordDlg dialog(&m_sync.m_app.engine);
        dialog.SetWrappedKey(std::u16string(wrapped));
        if (dialog.DoModal(m_sync.m_app.owner()) != IDOK)
            return false;
        data_key = dialog.DataKey();
        return true;
    }

private:
    CLibrarySync& m_sync;
};

void CLibrarySync::Start(HWND window, UINT message) {
    m_chunksPath = FinalPathOf(ChunksXmlPath());
    m_settingsPath = FinalPathOf(SettingsXmlPath());
    m_folder = m_chunksPath.substr(0, NameStart(m_chunksPath));
    const std::wstring settings_folder = m_settingsPath.substr(0, NameStart(m_settingsPath));
    // Not yet read by the sync: the first look reads the library, and a
    // library that did not read at start (held by another program) is read
    // by the next look once it can be, changed or not.
    m_chunksStamp = {};
    m_settingsStamp = StampOf(m_settingsPath);
    m_fileSettings = m_app.settings;
    // Settings kept in another folder (through a link) are polled only.
    m_watcher = std::make_unique<kelvo::CFolderWatcher>(
        m_folder, m_chunksPath.substr(m_folder.size()),
        SameText(settings_folder, m_folder) ? m_settingsPath.substr(m_folder.size())
                                            : std::wstring(),
        [window, message](unsigned files) { ::PostMessageW(window, message, files, 0); });
    // Changes between the load and the watch, and copies made while the
    // program was not running; what is unchanged costs a read.
    ::PostMessageW(window, message, kelvo::kAllWatchedFiles, 0);
}

void CLibrarySync::Stop() {
    m_watcher.reset();
}

void CLibrarySync::Poll() {
    // Changes that wait for a file that does not read, or is not there.
    if (m_app.chunks.HasUnsaved()) {
        const unsigned revision = m_app.chunks.Revision();
        m_app.chunks.SaveUnsaved();
        if (m_app.chunks.Revision() != revision)
            m_app.changes.Notify();
    }
    unsigned files = kelvo::kConflictCopies;
    if (StampOf(m_chunksPath) != m_chunksStamp)
        files |= kelvo::kChunksFile;
    if (StampOf(m_settingsPath) != m_settingsStamp)
        files |= kelvo::kSettingsFile;
    Changed(files);
}

void CLibrarySync::Changed(unsigned files) {
    if (files & kelvo::kChunksFile)
        ReloadChunks();
    if (files & kelvo::kSettingsFile)
        ReloadSettings();
    if (files & kelvo::kConflictCopies)
        OfferConflictCopies();
}

void CLibrarySync::ReloadChunks() {
    // Taken before the read: a change after it is seen by the next poll.
    const kelvo::FileStamp stamp = StampOf(m_chunksPath);
    CChunkStore& chunks = m_app.chunks;
    const unsigned revision = chunks.Revision();
    const auto result = chunks.Reload();
    if (result != CChunkStore::ReloadResult::kNotRead)
        m_chunksStamp = stamp;
    // Changes that waited for the file to read again.
    if (result != CChunkStore::ReloadResult::kNotRead && chunks.HasUnsaved())
        chunks.SaveUnsaved();
    if (chunks.Revision() != revision)
        m_app.changes.Notify();
}

void CLibrarySync::ReloadSettings() {
    const kelvo::FileStamp stamp = StampOf(m_settingsPath);
    if (stamp == m_settingsStamp)
        return;
    m_settingsStamp = stamp;
    // Only a change of the choices counts: the program's own writes (the
    // window's place, the id counter) change the file but not them.
    Settings read = m_fileSettings;
    LoadSettings(read);
    if (read == m_fileSettings)
        return;
    m_fileSettings = read;
    Settings& current = m_app.settings;
    const bool new_hotkey = read.hotkey != current.hotkey;
    current = read;
    if (new_hotkey)
        m_app.hotkey_changed();
}

void CLibrarySync::OfferConflictCopies() {
    if (m_offering)
        return;
    m_offering = true;
    const std::wstring library_name = m_chunksPath.substr(m_folder.size());
    for (const std::wstring& copy : kelvo::FindConflictCopies(m_folder, library_name)) {
        if (!m_offered.insert(copy).second)
            continue;
        const std::wstring question = FillText(
            Text(L"WYN_MSG_MERGE_COPY",
                 L"A sync client left a copy of the library, made when it was changed on two "
                 L"computers at once:\n%1\n\nMerge its chunks into the library? Chunks the "
                 L"library lacks are added, and chunks that differ are added as \"... "
                 L"(conflict)\". The copy is then renamed, not deleted."),
            {copy});
        if (::MessageBoxW(m_app.owner(), question.c_str(), Text(L"appname", L"Kelvo").c_str(),
                          MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) != IDYES)
            continue;
        std::wstring set_aside;
        CMergeKeys keys(*this);
        const MergeResult result = m_app.chunks.MergeCopy(copy, set_aside, keys);
        m_app.changes.Notify();
        std::wstring told;
        using Outcome = MergeResult::Outcome;
        switch (result.outcome) {
        case Outcome::kUnreadable:
            told = FillText(Text(L"WYN_MSG_MERGE_COPY_UNREADABLE",
                                 L"The copy does not read as a library and was left as it is:\n%1"),
                            {copy});
            break;
        case Outcome::kKeyNotGiven:
            told = FillText(Text(L"WYN_MSG_MERGE_COPY_NO_PASSWORD",
                                 L"The copy holds encrypted chunks under another master password. "
                                 L"Without the password nothing of it was merged, and it was left "
                                 L"as it is:\n%1"),
                            {copy});
            break;
        case Outcome::kNoKey:
            told =
                FillText(Text(L"WYN_MSG_MERGE_COPY_NO_KEY",
                              L"The copy holds encrypted chunks that cannot be stored under the "
                              L"library's master password (the library has none, or the copy "
                              L"holds no key for them). Nothing of it was merged, and it was left "
                              L"as it is:\n%1"),
                         {copy});
            break;
        case Outcome::kMerged: {
            const MergeCounts& counts = result.counts;
            told = FillText(Text(L"WYN_MSG_MERGE_COPY_DONE",
                                 L"Merged: %1 chunks added, %2 added as conflicts, %3 already in "
                                 L"the library."),
                            {std::to_wstring(counts.added), std::to_wstring(counts.conflicts),
                             std::to_wstring(counts.identical)}) +
                   L"\n\n" +
                   (set_aside.empty()
                        ? FillText(Text(L"WYN_MSG_MERGE_COPY_KEPT",
                                        L"The copy could not be renamed and stays as it is:\n%1"),
                                   {copy})
                        : FillText(
                              Text(L"WYN_MSG_MERGE_COPY_RENAMED", L"The copy was renamed to:\n%1"),
                              {set_aside}));
            if (result.other_password)
                told += L"\n\n" +
                        std::wstring(Text(L"WYN_MSG_MERGE_COPY_OTHER_PASSWORD",
                                          L"The copy was saved under another master password. The "
                                          L"library keeps its own; to use the other, change the "
                                          L"master password."));
            break;
        }
        }
        ::MessageBoxW(
            m_app.owner(), told.c_str(), Text(L"appname", L"Kelvo").c_str(),
            MB_OK | MB_SETFOREGROUND |
                (result.outcome == Outcome::kMerged ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    m_offering = false;
}

std::wstring CLibrarySync::Text(const wchar_t* key, const wchar_t* english) const {
    return m_app.engine.GetString(key, nullptr, english);
}
