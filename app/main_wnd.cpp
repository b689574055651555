#include "app/main_wnd.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "app/about_dlg.h"
#include "app/settings_dlg.h"
#include "app/store_notice.h"
#include "library/xml_props.h"
#include "paste/activate_window.h"
#include "ui/browser/prop_dlg.h"
#include "ui/password_dlg.h"
#include "ui/program_icon.h"

namespace {

enum TrayCommand : UINT { kOpen = 1, kAbout = 2, kExit = 3 };

// A remember period in minutes as a timer's period, held to the longest a
// window timer takes.
UINT RememberMillis(int minutes) {
    return static_cast<UINT>(std::min<long long>(minutes * 60000LL, USER_TIMER_MAXIMUM));
}

} // namespace

CMainWnd::CMainWnd(HINSTANCE instance)
    : m_taskbarCreated(::RegisterWindowMessageW(L"TaskbarCreated")), m_hInstance(instance),
      m_engine(instance),
      m_pasteTarget(kelvo::DescribeTarget(kelvo::ForegroundCandidate(nullptr, nullptr))) {
    SetClassName(L"KV_MAIN_WND");
    m_chunks.SetNoticeHandler([this](const StoreNotice& notice) { ShowStoreNotice(notice); });
}

CMainWnd::~CMainWnd() {
    // Destroying the window ends the hotkey and removes the tray icon.
    if (Hwnd())
        ::DestroyWindow(Hwnd());
    if (m_hotkeyAtom)
        ::GlobalDeleteAtom(m_hotkeyAtom);
}

std::wstring CMainWnd::AppName() const {
    return m_engine.GetString(L"appname", nullptr, L"Kelvo");
}

bool CMainWnd::CreateHiddenWindow() {
    RegisterWindowClass(m_hInstance);
    // Never shown: it exists for its messages.
    return Create(m_hInstance, 0, AppName().c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr) != nullptr;
}

LRESULT CMainWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == m_taskbarCreated) {
        // The shell restarted and lost the icon, or the scaling changed and
        // the icon wants another size.
        m_trayIcon.Reset();
        AddTrayIcon();
    } else {
        switch (msg) {
        case WM_CREATE:
            OnCreate();
            break;
        case WM_DESTROY:
            m_librarySync.Stop();
            EndWork();
            RemoveTrayIcon();
            break;
        case WM_QUERYENDSESSION:
            // Logoff and shutdown end the program without destroying its
            // window: what waits is written while it still can be.
            m_chunks.SaveUnsaved();
            return TRUE;
        case WM_ENDSESSION:
            if (wp)
                EndWork();
            return 0;
        case WM_TIMER:
            if (wp == kTrackingTimer)
                TrackPasteTarget();
            else if (wp == kPasswordTimer)
                ForgetPassword();
            else if (wp == kTrayRetryTimer)
                AddTrayIcon();
            else if (wp == kClipboardTimer)
                RestoreClipboard();
            else if (wp == kLibraryPollTimer)
                m_librarySync.Poll();
            break;
        case WM_POWERBROADCAST:
            // Changes made elsewhere while the computer slept.
            if (wp == PBT_APMRESUMEAUTOMATIC)
                m_librarySync.Poll();
            break;
        case kLibraryMessage:
            m_librarySync.Changed(static_cast<unsigned>(wp));
            break;
        case WM_CLOSE:
            // Asked to close by another program (an installer, taskkill): end
            // as the tray menu's Exit does, rather than lose the window and
            // keep running without it.
            ::PostQuitMessage(0);
            return 0;
        case WM_HOTKEY:
            if (m_hotkeyAtom && wp == m_hotkeyAtom)
                OpenMainWindow();
            break;
        case kOpenMessage:
            OpenMainWindow();
            break;
        case kTrayMessage:
            if (LOWORD(lp) == WM_LBUTTONUP)
                OpenMainWindow();
            else if (LOWORD(lp) == WM_RBUTTONUP)
                ShowTrayMenu();
            break;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CMainWnd::OnCreate() {
    ::SetTimer(Hwnd(), kTrackingTimer, kTrackingMs, nullptr);
    AddTrayIcon();
    // After the icon: a large library does not keep it from showing, and a
    // hotkey pressed meanwhile waits in the queue until the library is read.
    m_chunks.LoadChunks();
    m_finder.Prepare();
    m_finderPreparation = m_libraryChanges.Subscribe([this] {
        if (!m_propDlg)
            m_finder.Prepare();
    });
    LoadSettings(m_settings);
    RegisterAppHotkey();
    m_librarySync.Start(Hwnd(), kLibraryMessage);
    ::SetTimer(Hwnd(), kLibraryPollTimer, kLibraryPollMs, nullptr);
    // Posted: the window that is being created must exist, and start-up
    // finish, before the chunk browser's modal loop runs.
    if (m_settings.show_onstart)
        ::PostMessageW(Hwnd(), kOpenMessage, 0, 0);
}

NOTIFYICONDATAW CMainWnd::TrayIconData() {
    if (!m_trayIcon) {
        // The small icon's size at the current scaling, drawn from the frame
        // that fits it best.
        HICON icon = nullptr;
        if (SUCCEEDED(::LoadIconMetric(m_hInstance, MAKEINTRESOURCEW(kelvo::kProgramIconResource),
                                       LIM_SMALL, &icon)))
            m_trayIcon.Reset(icon);
    }
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Hwnd();
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = m_trayIcon.Get();
    std::wstring tip = AppName().substr(0, 63);
    std::copy(tip.begin(), tip.end(), data.szTip);
    return data;
}

bool CMainWnd::ShellNotify(DWORD message, NOTIFYICONDATAW& data) {
    return ::Shell_NotifyIconW(message, &data) != FALSE;
}

void CMainWnd::AddTrayIcon() {
    NOTIFYICONDATAW data = TrayIconData();
    // A shell that timed out may have added the icon all the same; then it
    // takes a change.
    if (ShellNotify(NIM_ADD, data) || ShellNotify(NIM_MODIFY, data))
        ::KillTimer(Hwnd(), kTrayRetryTimer);
    else
        ::SetTimer(Hwnd(), kTrayRetryTimer, kTrayRetryMillis, nullptr);
}

void CMainWnd::RemoveTrayIcon() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Hwnd();
    data.uID = kTrayIconId;
    ShellNotify(NIM_DELETE, data);
}

void CMainWnd::RegisterAppHotkey() {
    if (m_hotkeyAtom)
        UnregisterAppHotkey();
    m_hotkeyAtom = ::GlobalAddAtomW(L"ShowKelvo");
    HotkeyRegistration hotkey = TranslateHotkey(m_settings.hotkey);
    // A combination another program holds, or none at all, is not an error:
    // the tray icon still opens the main window.
    ::RegisterHotKey(Hwnd(), m_hotkeyAtom, hotkey.modifiers, hotkey.key);
}

HWND CMainWnd::BrowserWindow() const {
    return m_propDlg ? m_propDlg->Hwnd() : nullptr;
}

void CMainWnd::HotkeySettingChanged() {
    if (m_hotkeyAtom)
        RegisterAppHotkey();
}

void CMainWnd::UnregisterAppHotkey() {
    if (!m_hotkeyAtom)
        return;
    ::UnregisterHotKey(Hwnd(), m_hotkeyAtom);
    ::GlobalDeleteAtom(m_hotkeyAtom);
    m_hotkeyAtom = 0;
}

void CMainWnd::OpenMainWindow() {
    if (m_propDlg) {
        // Already open: a second hotkey press brings it forward.
        if (HWND window = m_propDlg->Hwnd()) {
            if (::IsIconic(window))
                ::ShowWindow(window, SW_RESTORE);
            kelvo::ActivateWindow(window);
        }
        return;
    }
    // What changed where no notification told.
    m_librarySync.Poll();
    m_propDlg = std::make_unique<CPropDlg>(*this);
    SetMainWindow(m_propDlg.get());
    m_propDlg->DoModal(nullptr);
    SetMainWindow(nullptr);
    m_propDlg.reset();
}

void CMainWnd::ShowAbout(HWND owner) {
    CAboutDlg(&m_engine).DoModal(owner);
}

const wchar_t* CMainWnd::HomePage() const {
    return ::HomePage();
}

void CMainWnd::EditSettings(HWND owner) {
    CSettingsDlg dialog(&m_engine, m_settings);
    // Pressing the current combination in the dialog must reach its hotkey box.
    UnregisterAppHotkey();
    if (dialog.DoModal(owner) == IDOK) {
        m_settings = dialog.CurrentSettings();
        SaveSettings(m_settings);
    }
    RegisterAppHotkey();
}

bool CMainWnd::ObtainDataKey(HWND owner, kelvo::CipherKey& data_key) {
    if (m_passwordCached) {
        data_key = m_cachedKey;
        return true;
    }
    CPasswordDlg dialog(&m_engine);
    dialog.SetRememberPeriod(m_settings.remember_password);
    if (dialog.DoModal(owner) != IDOK)
        return false;
    if (dialog.RememberPeriod() != m_settings.remember_password) {
        m_settings.remember_password = dialog.RememberPeriod();
        SaveSettings(m_settings);
    }
    data_key = dialog.DataKey();

    // Remembered only with the window whose timer ends the remembering.
    const int period = m_settings.remember_password;
    if (period == 0 || !Hwnd())
        return true;
    m_cachedKey = dialog.DataKey();
    if (period < 0)
        ::KillTimer(Hwnd(), kPasswordTimer); // until the program ends
    else
        ::SetTimer(Hwnd(), kPasswordTimer, RememberMillis(period), nullptr);
    m_passwordCached = true;
    return true;
}

void CMainWnd::ForgetPassword() {
    kelvo::SecureWipe(m_cachedKey.bytes.data(), m_cachedKey.bytes.size());
    m_passwordCached = false;
    if (Hwnd())
        ::KillTimer(Hwnd(), kPasswordTimer);
}

void CMainWnd::TrackPasteTarget() {
    if (kelvo::TrackPasteTarget(m_pasteTarget, Hwnd(),
                                m_mainWindow ? m_mainWindow->Window() : nullptr) &&
        m_mainWindow)
        m_mainWindow->PasteTargetChanged();
}

void CMainWnd::ChoosePasteTarget(HWND window) {
    m_pasteTarget = kelvo::DescribeTarget(window);
    if (m_mainWindow)
        m_mainWindow->PasteTargetChanged();
}

void CMainWnd::ShowStoreNotice(const StoreNotice& notice) {
    const bool failed = notice.kind == StoreNotice::Kind::kNotSaved ||
                        (notice.kind == StoreNotice::Kind::kUnreadable && !notice.rewritten);
    // Before any window exists (at load) the box stands alone.
    const HWND owner = m_mainWindow ? m_mainWindow->Window() : nullptr;
    ::MessageBoxW(owner, StoreNoticeText(m_engine, notice, m_chunks, ChunksXmlPath()).c_str(),
                  AppName().c_str(),
                  MB_OK | MB_SETFOREGROUND | (failed ? MB_ICONERROR : MB_ICONWARNING));
}

void CMainWnd::EndWork() {
    // The last chance for changes that wait in memory.
    m_chunks.SaveUnsaved();
    ForgetPassword();
    // A secret must not outlive the program on the clipboard.
    ::KillTimer(Hwnd(), kClipboardTimer);
    m_clipboardRestore.Restore(m_clipboardOwner.Window(), true);
}

void CMainWnd::RestoreClipboard() {
    ::KillTimer(Hwnd(), kClipboardTimer);
    // Held by another program: try again later rather than leave a secret or
    // lose what the user had copied.
    if (!m_clipboardRestore.Restore(m_clipboardOwner.Window()) && Hwnd())
        ::SetTimer(Hwnd(), kClipboardTimer, kClipboardRestoreMs, nullptr);
}

void CMainWnd::ShowTrayMenu() {
    kelvo::UniqueHmenu menu(::CreatePopupMenu());
    if (!menu)
        return;
    ::AppendMenuW(menu.Get(), MF_STRING, kOpen,
                  m_engine.GetString(L"WYN_STR_TRAYMENU_OPEN", nullptr, L"Open Kelvo..."));
    ::AppendMenuW(menu.Get(), MF_STRING, kAbout,
                  m_engine.GetString(L"WYN_STR_TRAYMENU_ABOUT", nullptr, L"About Kelvo"));
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kExit,
                  m_engine.GetString(L"WYN_STR_TRAYMENU_EXIT", nullptr, L"Exit"));
    ::SetMenuDefaultItem(menu.Get(), kOpen, FALSE);

    POINT cursor{};
    ::GetCursorPos(&cursor);
    // Without being the foreground window, the menu would not close when the
    // user clicks elsewhere.
    ::SetForegroundWindow(Hwnd());
    UINT command = static_cast<UINT>(::TrackPopupMenu(
        menu.Get(), TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, cursor.x,
        cursor.y, 0, Hwnd(), nullptr));
    ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
    menu.Reset();

    switch (command) {
    case kOpen:
        OpenMainWindow();
        break;
    case kAbout:
        ShowAbout(Hwnd());
        break;
    case kExit:
        ::PostQuitMessage(0);
        break;
    }
}
