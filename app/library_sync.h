#pragma once
// Keeps the running program in step with what other writers do to the data
// files: chunks.xml read again when it changed (the chunk browser's lists
// with it), settings.xml likewise, and the user offered to merge the copies a
// sync client makes when two PCs changed the library at once.

#include <windows.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/settings.h"
#include "crypto/cipher.h"
#include "library/chunk_store.h"
#include "library/folder_watcher.h"
#include "ui/browser/library_changes.h"
#include "wyn/engine/wyn_engine.h"

class CLibrarySync {
public:
    // What it keeps in step, and what it tells: the library and the news of
    // its changes, the settings in use, the engine of its questions and
    // dialogs, the window they belong to (none: they stand alone), a change of
    // the hotkey setting, and the library's data key (false when the user
    // cancelled), which a merge of encrypted chunks needs.
    struct App {
        CChunkStore& chunks;
        CLibraryChanges& changes;
        Settings& settings;
        CWynEngine& engine;
        std::function<HWND()> owner;
        std::function<void()> hotkey_changed;
        std::function<bool(HWND, kelvo::CipherKey&)> obtain_data_key;
    };

    explicit CLibrarySync(App app) noexcept : m_app(std::move(app)) {}

    // Starts watching the folder the library lives in (that of a symbolic
    // link's target); reports arrive as `message` to `window`, whose wParam
    // goes to Changed. The files are looked at once more right away. The
    // settings in use are taken as those the file holds.
    void Start(HWND window, UINT message);
    void Stop();
    // Acts on the kelvo::WatchedFiles bits: reads again what changed, offers
    // conflict copies not offered before.
    void Changed(unsigned files);
    // Where notifications do not come: compares the files' size and last
    // write with those last seen, and looks for conflict copies. Changes
    // waiting in memory are tried again.
    void Poll();

private:
    class CMergeKeys;

    void ReloadChunks();
    void ReloadSettings();
    void OfferConflictCopies();
    std::wstring Text(const wchar_t* key, const wchar_t* english) const;

    App m_app;
    std::wstring m_chunksPath;   // the final file, after links
    std::wstring m_settingsPath; // likewise
    std::wstring m_folder;       // that of the chunks file, with a backslash
    std::unique_ptr<kelvo::CFolderWatcher> m_watcher;
    kelvo::FileStamp m_chunksStamp;
    kelvo::FileStamp m_settingsStamp;
    Settings m_fileSettings; // the choices settings.xml held when last read
    // Copies the user was asked about in this session, by path.
    std::set<std::wstring> m_offered;
    bool m_offering = false; // a question is open
};
