// The chunk browser's menus: a chunk's (its context menu) and the
// configuration menu under the wrench button.

#include "ui/browser/prop_dlg.h"

#include <shellapi.h>

#include "ui/browser/transfer_commands.h"
#include "ui/master_pwd.h"

void CPropDlg::ChunkMenu(const CShownChunk& chunk, POINT at) {
    enum : UINT { kEdit = 1, kPaste = 2, kDelete = 3 };
    const kelvo::UniqueHmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, kEdit, Text(L"WYN_LST_CTX_EDIT", L"Edit..."));
    ::AppendMenuW(menu.Get(), MF_STRING, kPaste, Text(L"WYN_LST_CTX_PASTE", L"Paste"));
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kDelete, Text(L"WYN_LST_CTX_DELETE", L"Delete"));
    ::SetMenuDefaultItem(menu.Get(), m_app.PasteOnDoubleClick() ? kPaste : kEdit, FALSE);
    switch (::TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, Hwnd(),
                             nullptr)) {
    case kEdit:
        EditChunk(chunk);
        break;
    case kPaste:
        Paste(chunk, PasteTrigger::kOther);
        break;
    case kDelete:
        DeleteChunk(chunk);
        break;
    default:
        break;
    }
}

void CPropDlg::ConfigurationMenu() {
    enum : UINT {
        kSettings = 1,
        kPassword = 2,
        kAbout = 3,
        kExit = 4,
        kWebsite = 7,
        kForget = 8,
        kImport = 9,
        kExport = 10,
    };
    const kelvo::UniqueHmenu menu(::CreatePopupMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, kSettings, Text(L"WYN_MENU_CFG_SETTINGS", L"Settings..."));
    ::AppendMenuW(menu.Get(), MF_STRING, kPassword,
                  Text(L"WYN_MENU_CFG_PASSWORD", L"Master password..."));
    if (m_app.IsPasswordCached()) {
        ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu.Get(), MF_STRING, kForget,
                      Text(L"WYN_MENU_CFG_CLEARPWD", L"Forget password"));
    }
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kImport,
                  Text(L"WYN_MENU_CFG_IMPORT", L"Import chunks..."));
    ::AppendMenuW(menu.Get(), MF_STRING, kExport,
                  Text(L"WYN_MENU_CFG_EXPORT", L"Export chunks..."));
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kAbout, Text(L"WYN_MENU_CFG_ABOUT", L"About Kelvo..."));
    if (*m_app.HomePage())
        ::AppendMenuW(menu.Get(), MF_STRING, kWebsite,
                      Text(L"WYN_MENU_CFG_WEBSITE", L"Kelvo website"));
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.Get(), MF_STRING, kExit, Text(L"WYN_MENU_CFG_EXIT", L"Exit"));
    RECT button{};
    if (CWynElement* wrench = FindById(L"btn-wrench"); wrench && wrench->Hwnd())
        ::GetWindowRect(wrench->Hwnd(), &button);
    switch (::TrackPopupMenu(menu.Get(), TPM_RIGHTALIGN | TPM_RETURNCMD, button.right,
                             button.bottom, 0, Hwnd(), nullptr)) {
    case kSettings:
        m_app.EditSettings(Hwnd());
        break;
    case kPassword:
        EditMasterPassword(m_app.Engine(), Hwnd(), m_app.Chunks().IsNewLibrary());
        break;
    case kImport:
        ImportChunks();
        break;
    case kExport:
        ExportChunksCommand(m_app, Hwnd(), ChunkRows());
        break;
    case kForget:
        m_app.ForgetPassword();
        break;
    case kAbout:
        m_app.ShowAbout(Hwnd());
        break;
    case kWebsite:
        ::ShellExecuteW(Hwnd(), nullptr, m_app.HomePage(), nullptr, nullptr, SW_SHOWNORMAL);
        break;
    case kExit:
        ::PostQuitMessage(0);
        break;
    default:
        break;
    }
}
