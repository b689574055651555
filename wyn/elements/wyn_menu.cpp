#include "wyn/elements/wyn_menu.h"

#include <commctrl.h>

#include "wyn/engine/wyn_attributes.h"

bool CWynMenuItem::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"menuitem", name, element);
}

bool CWynMenuItem::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_label = GetLocalizedAttribute(node, L"label");
    m_radio = attributes.Bool(L"radio");
    m_default = attributes.Bool(L"default");
    return true;
}

void CWynMenuItem::SetIntValue(int value) {
    m_checked = value != 0;
    ApplyCheck(m_checked);
}

void CWynMenuItem::ApplyEnabled() {
    if (m_menu)
        ::EnableMenuItem(m_menu, static_cast<UINT>(m_controlId),
                         MF_BYCOMMAND | (IsDisabled() ? MF_GRAYED : MF_ENABLED));
    CWynElement::ApplyEnabled();
}

LRESULT CWynMenuItem::OnCommand(int, int, HWND) {
    NotifyChildren(this);
    return RaiseEvent(L"clicked");
}

void CWynMenuItem::AppendTo(HMENU menu) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fType = MFT_STRING | (m_radio ? MFT_RADIOCHECK : 0);
    item.fState = (m_checked ? MFS_CHECKED : 0) | (IsDisabled() ? MFS_GRAYED : 0) |
                  (m_default ? MFS_DEFAULT : 0);
    item.wID = static_cast<UINT>(m_controlId);
    item.dwTypeData = const_cast<wchar_t*>(m_label ? m_label->c_str() : L"");
    if (::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &item))
        m_menu = menu;
}

void CWynMenuItem::Prepare() {
    if (!m_menu)
        return;
    RaiseEvent(L"get-menu-item", reinterpret_cast<WPARAM>(m_menu), m_controlId);
    bool enabled = !IsDisabled();
    if (RaiseEvent(L"disable-menu-item"))
        enabled = false;
    else if (RaiseEvent(L"enable-menu-item"))
        enabled = true;
    ::EnableMenuItem(m_menu, static_cast<UINT>(m_controlId),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    bool checked = m_checked;
    if (RaiseEvent(L"check-menu-item"))
        checked = true;
    else if (RaiseEvent(L"uncheck-menu-item"))
        checked = false;
    ApplyCheck(checked);
}

void CWynMenuItem::ApplyCheck(bool checked) {
    if (m_menu)
        ::CheckMenuItem(m_menu, static_cast<UINT>(m_controlId),
                        MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool CWynMenuSeparator::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"menuseparator", name, element);
}

void CWynMenuSeparator::AppendTo(HMENU menu) {
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

bool CWynMenuPopup::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"menupopup", name, element);
}

bool CWynMenuPopup::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_label = GetLocalizedAttribute(node, L"label");
    return true;
}

void CWynMenuPopup::Create() {
    CWynElement::Create();
    m_menu.Reset(::CreatePopupMenu());
    m_handle = m_menu.Get();
    if (!m_menu)
        return;
    for (const auto& child : m_children) {
        if (auto* item = dynamic_cast<CWynMenuItem*>(child.get()))
            item->AppendTo(m_menu.Get());
        else if (auto* separator = dynamic_cast<CWynMenuSeparator*>(child.get()))
            separator->AppendTo(m_menu.Get());
    }
}

void CWynMenuPopup::OnOwnerAction(CWynElement*) {
    if (!m_menu)
        return; // missing, or a drop-down of a menu bar
    Prepare();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const int chosen =
        static_cast<int>(::TrackPopupMenu(m_menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x,
                                          cursor.y, 0, Root()->GetWindow(), nullptr));
    if (chosen == 0)
        return;
    if (auto* item = dynamic_cast<CWynMenuItem*>(FindByControlId(chosen)))
        item->OnCommand(0, chosen, nullptr);
}

void CWynMenuPopup::Prepare() {
    for (const auto& child : m_children) {
        if (auto* item = dynamic_cast<CWynMenuItem*>(child.get()))
            item->Prepare();
    }
}

bool CWynMenuBar::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"menubar", name, element);
}

void CWynMenuBar::Create() {
    CWynElement::Create();
    kelvo::UniqueHmenu bar(::CreateMenu());
    if (!bar)
        return;
    for (const auto& child : m_children) {
        auto* popup = dynamic_cast<CWynMenuPopup*>(child.get());
        if (!popup || !popup->Menu())
            continue;
        const wchar_t* label = popup->Label() ? popup->Label()->c_str() : L"";
        if (::AppendMenuW(bar.Get(), MF_POPUP | MF_STRING,
                          reinterpret_cast<UINT_PTR>(popup->Menu()), label))
            popup->ReleaseMenu(); // the bar destroys its drop-downs
    }
    HWND dialog = Root()->GetWindow();
    // Once set, the dialog window destroys the bar with itself.
    if (!::SetMenu(dialog, bar.Get()))
        return;
    bar.Release();
    // Menu commands carry no control window, so the dialog cannot tell
    // whose they are; the bar takes them before the dialog sees them.
    kelvo::CWindowSubclass::Install<&CWynMenuBar::OnDialogMessage, &CWynMenuBar::m_dialogSubclass>(
        dialog, *this);
}

LRESULT CWynMenuBar::OnDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam == 0 && HIWORD(wParam) == 0) {
        if (auto* item = dynamic_cast<CWynMenuItem*>(FindByControlId(LOWORD(wParam)))) {
            item->OnCommand(0, LOWORD(wParam), nullptr);
            return 0;
        }
    } else if (message == WM_INITMENUPOPUP) {
        for (const auto& child : m_children) {
            auto* popup = dynamic_cast<CWynMenuPopup*>(child.get());
            if (popup && popup->Menu() == reinterpret_cast<HMENU>(wParam))
                popup->Prepare();
        }
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
