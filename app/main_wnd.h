#pragma once
// The application object: owns everything the program keeps while it runs and
// carries the hidden "KV_MAIN_WND" window with the tray icon, the global hotkey
// and the timers.

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

#include "app/library_sync.h"
#include "app/settings.h"
#include "base/vt_wnd.h"
#include "base/win_handles.h"
#include "crypto/cipher.h"
#include "library/chunk_store.h"
#include "paste/clipboard_render_owner.h"
#include "paste/clipboard_restore.h"
#include "paste/paste_host.h"
#include "paste/target_window.h"
#include "ui/browser/browser_app.h"
#include "ui/kv_wyn_engine.h"

class CPropDlg;

class CMainWnd : public CVtWnd, public CBrowserApp {
public:
    // Tray icon notifications arrive as this message.
    static constexpr UINT kTrayMessage = WM_USER + 100;
    // Opens the chunk browser once start-up is done, from the message loop.
    static constexpr UINT kOpenMessage = WM_USER + 101;
    // The folder watcher's reports (wParam: kelvo::WatchedFiles bits).
    static constexpr UINT kLibraryMessage = WM_USER + 102;
    static constexpr UINT kTrayIconId = 0;
    // Keeps the paste target current.
    static constexpr UINT_PTR kTrackingTimer = 1;
    static constexpr UINT kTrackingMs = 100;
    // Ends the remembering of the data key.
    static constexpr UINT_PTR kPasswordTimer = 2;
    // Tries to add the tray icon again while the shell refuses it (at logon
    // the shell may not be ready when the program starts).
    static constexpr UINT_PTR kTrayRetryTimer = 3;
    static constexpr UINT kTrayRetryMillis = 1000;
    // Tries again to give back what the clipboard held before a paste, while
    // another program keeps it busy: the target lets go of it a moment after
    // reading the last run.
    static constexpr UINT_PTR kClipboardTimer = 4;
    static constexpr UINT kClipboardRestoreMs = 20;
    // Looks at the data files where the folder's notifications do not come,
    // and writes again the library changes that no save could write yet
    // (whether or not the user was told of them).
    static constexpr UINT_PTR kLibraryPollTimer = 6;
    static constexpr UINT kLibraryPollMs = 30000;

    explicit CMainWnd(HINSTANCE instance);
    ~CMainWnd() override;

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    // Registers the window class and creates the hidden window.
    bool CreateHiddenWindow();

    // Adds the tray icon; while the shell refuses it, the retry timer runs.
    void AddTrayIcon();
    void RemoveTrayIcon();
    void RegisterAppHotkey();
    void UnregisterAppHotkey();
    // Opens the chunk browser, or brings it forward while it is open; for the
    // hotkey, the tray icon and the show-on-start setting.
    void OpenMainWindow();
    void ShowAbout(HWND owner) override;
    // The settings dialog, with the hotkey unregistered while it is open.
    void EditSettings(HWND owner) override;
    const wchar_t* HomePage() const override;
    // The system's open or save dialog for a chunk file.
    std::optional<std::wstring> ChooseChunkFile(HWND owner, ChunkFileDialog kind) override {
        return ShowChunkFileDialog(m_engine, owner, kind);
    }
    // The tray icon's description: icon, callback message and tip.
    NOTIFYICONDATAW TrayIconData();

    // The data key, from the password cache or else by asking for the master
    // password (the dialog is owned by `owner`), which is then remembered for
    // the chosen period; using the cache does not extend it. False when the
    // user cancelled.
    bool ObtainDataKey(HWND owner, kelvo::CipherKey& data_key) override;
    // Empties the password cache.
    void ForgetPassword() override;
    bool IsPasswordCached() const noexcept override { return m_passwordCached; }

    // The chunk browser, while its window exists (null otherwise): the
    // tracking keeps the paste target off it and tells it when the target
    // changed. OpenMainWindow sets it; tests set stand-ins.
    void SetMainWindow(kelvo::CPasteHost* main_window) noexcept { m_mainWindow = main_window; }
    // The chunk browser's dialog while it is open; null otherwise.
    CPropDlg* ChunkBrowser() const noexcept { return m_propDlg.get(); }
    // The window pastes go into, kept current by the tracking timer.
    const kelvo::TargetWindow& PasteTarget() const noexcept override { return m_pasteTarget; }
    // The user chose the window to paste into: it becomes the target, and
    // the "paste" button shows it.
    void ChoosePasteTarget(HWND window) override;
    // Pastes into the paste target (see PasteChunk, beside which it lives).
    bool Paste(kelvo::CPasteHost& host, const text_chunk& chunk, PasteTrigger trigger) override;

    // The window that owns the clipboard while a paste offers its text runs.
    kelvo::CClipboardRenderOwner& ClipboardOwner() noexcept { return m_clipboardOwner; }
    // What the clipboard held before a paste; RestoreClipboard gives it back,
    // at once or, while the clipboard is busy, from the message loop, and at
    // the latest at exit.
    kelvo::CClipboardRestore& ClipboardRestore() noexcept { return m_clipboardRestore; }
    void RestoreClipboard();

    HINSTANCE Instance() const noexcept { return m_hInstance; }
    // The chunk library, read when the tray window is made.
    CChunkStore& Chunks() noexcept override { return m_chunks; }
    kelvo::CChunkFinder& Finder() noexcept override { return m_finder; }
    // Told by the library's live reload.
    CLibraryChanges& LibraryChanges() noexcept override { return m_libraryChanges; }
    Settings& CurrentSettings() noexcept { return m_settings; }
    bool PasteOnDoubleClick() const noexcept override { return m_settings.paste_on_dblclick != 0; }
    CkvWynEngine& Engine() noexcept override { return m_engine; }
    ATOM HotkeyAtom() const noexcept { return m_hotkeyAtom; }

protected:
    // The shell's notification-area call; tests stand in for a shell that is
    // not ready.
    virtual bool ShellNotify(DWORD message, NOTIFYICONDATAW& data);

private:
    void OnCreate();
    // Shows what the chunk store tells.
    void ShowStoreNotice(const StoreNotice& notice);
    // What must not outlive the program: changes that wait in memory are
    // written, the data key forgotten, the clipboard given back.
    void EndWork();
    void TrackPasteTarget();
    void ShowTrayMenu();
    // The live reload read another hotkey: it takes effect at once unless
    // the settings dialog is open (the hotkey is off meanwhile; it takes
    // the settings when it closes).
    void HotkeySettingChanged();
    // The chunk browser's window; null while it is not open.
    HWND BrowserWindow() const;
    std::wstring AppName() const;

    UINT m_taskbarCreated;
    HINSTANCE m_hInstance;
    CkvWynEngine m_engine;
    CChunkStore m_chunks;
    kelvo::CChunkFinder m_finder{m_chunks};
    Settings m_settings;
    ATOM m_hotkeyAtom = 0;
    kelvo::UniqueHicon m_trayIcon;
    kelvo::CPasteHost* m_mainWindow = nullptr;
    // Before the chunk browser, which subscribes to it.
    CLibraryChanges m_libraryChanges;
    // The title order worked out again after a reload while the browser is
    // closed (an open one searches at once).
    CLibraryChanges::Subscription m_finderPreparation;
    // The chunk browser's dialog while it runs.
    std::unique_ptr<CPropDlg> m_propDlg;
    CLibrarySync m_librarySync{{m_chunks, m_libraryChanges, m_settings, m_engine,
                                [this] { return BrowserWindow(); },
                                [this] { HotkeySettingChanged(); },
                                [this](HWND owner, kelvo::CipherKey& data_key) {
                                    return ObtainDataKey(owner, data_key);
                                }}};
    kelvo::TargetWindow m_pasteTarget;
    kelvo::CClipboardRenderOwner m_clipboardOwner;
    kelvo::CClipboardRestore m_clipboardRestore;
    // The password cache; the key wipes itself when the object goes.
    kelvo::CipherKey m_cachedKey;
    bool m_passwordCached = false;
};
