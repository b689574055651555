#pragma once
// What the chunk browser and the chunk editor use of the application: the
// library and the news of its changes, the dialog engine, the user's
// double-click choice, the data key, the paste target and the paste, and the
// application's own dialogs. The tray application implements it; the tests
// implement it with a fake.

#include <windows.h>

#include <optional>
#include <string>

#include "crypto/cipher.h"
#include "library/chunk_finder.h"
#include "library/chunk_store.h"
#include "library/text_chunk.h"
#include "paste/paste_host.h"
#include "paste/target_window.h"
#include "ui/browser/library_changes.h"
#include "ui/file_dialog.h"
#include "ui/kv_wyn_engine.h"

// How the user asked for a paste. One asked for with the Enter key (in the
// chunk list, or the dialog's OK command) first lets go of Enter, before
// anything else of the paste, so that the target does not see it held.
enum class PasteTrigger { kOther, kEnterKey };

class CBrowserApp {
public:
    virtual CChunkStore& Chunks() = 0;
    // The search over Chunks(), kept between openings of the browser.
    virtual kelvo::CChunkFinder& Finder() = 0;
    virtual CkvWynEngine& Engine() = 0;
    // Tells of the library's changes that come from elsewhere: the file read
    // again after another writer, or a copy merged in.
    virtual CLibraryChanges& LibraryChanges() = 0;
    // True: a double click or Enter in the chunk list pastes the chunk;
    // false: it opens the editor.
    virtual bool PasteOnDoubleClick() const = 0;

    // The data key, remembered or asked for with a dialog owned by `owner`.
    // False when the user cancelled.
    virtual bool ObtainDataKey(HWND owner, kelvo::CipherKey& data_key) = 0;
    virtual bool IsPasswordCached() const = 0;
    virtual void ForgetPassword() = 0;

    // The window pastes go into; the chooser sets it.
    virtual const kelvo::TargetWindow& PasteTarget() const = 0;
    virtual void ChoosePasteTarget(HWND window) = 0;
    // Pastes the chunk into the paste target for the browser `host`. True
    // when the whole chunk was played.
    virtual bool Paste(kelvo::CPasteHost& host, const text_chunk& chunk, PasteTrigger trigger) = 0;

    // The chunk file to import from or to export to, as the system's open or
    // save dialog owned by `owner` asks for it; none when the user cancelled.
    virtual std::optional<std::wstring> ChooseChunkFile(HWND owner, ChunkFileDialog kind) = 0;

    // The settings dialog, owned by `owner`.
    virtual void EditSettings(HWND owner) = 0;
    virtual void ShowAbout(HWND owner) = 0;
    // The program's web page; empty when it has none.
    virtual const wchar_t* HomePage() const = 0;

protected:
    ~CBrowserApp() = default;
};
