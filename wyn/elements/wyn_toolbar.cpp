#include "wyn/elements/wyn_toolbar.h"

#include <algorithm>
#include <utility>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

bool CWynToolbarButton::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"toolbarbutton", name, element);
}

bool CWynToolbarButton::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_label = GetLocalizedAttribute(node, L"label");
    m_icon = attributes.Text(L"icon");
    const std::pair<const wchar_t*, BYTE> styles[] = {
        {L"check", BTNS_CHECK},       {L"checkgroup", BTNS_CHECKGROUP},
        {L"dropdown", BTNS_DROPDOWN}, {L"group", BTNS_GROUP},
        {L"noprefix", BTNS_NOPREFIX}, {L"separator", BTNS_SEP},
        {L"showtext", BTNS_SHOWTEXT}, {L"wholedropdown", BTNS_WHOLEDROPDOWN}};
    // `button` names the plain kind, BTNS_BUTTON, which is 0.
    for (const auto& [name, bit] : styles) {
        if (attributes.Bool(name))
            m_style |= bit;
    }
    m_iconWidth = std::max(attributes.Int(L"iconWidth", 16), 1);
    m_iconHeight = std::max(attributes.Int(L"iconHeight", 16), 1);
    return true;
}

void CWynToolbarButton::AddTo(HWND toolbar, HIMAGELIST images) {
    TBBUTTON button{};
    button.iBitmap =
        m_icon ? kelvo::AddEngineImage(images, *m_engine, m_icon->c_str()) : I_IMAGENONE;
    if (button.iBitmap < 0)
        button.iBitmap = I_IMAGENONE;
    button.idCommand = m_controlId;
    button.fsState = IsDisabled() ? 0 : TBSTATE_ENABLED;
    if (IsHidden())
        button.fsState |= TBSTATE_HIDDEN;
    button.fsStyle = m_style;
    button.iString = m_label ? reinterpret_cast<INT_PTR>(m_label->c_str()) : -1;
    ::SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
}

bool CWynToolbar::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"toolbar", name, element);
}

bool CWynToolbar::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    // Placed by the layout like any control, not docked to an edge.
    m_style = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (attributes.Bool(L"altDrag"))
        m_style |= TBSTYLE_ALTDRAG | CCS_ADJUSTABLE;
    if (attributes.Bool(L"flat"))
        m_style |= TBSTYLE_FLAT;
    if (attributes.Bool(L"list"))
        m_style |= TBSTYLE_LIST;
    if (attributes.Bool(L"tooltips"))
        m_style |= TBSTYLE_TOOLTIPS;
    if (attributes.Bool(L"drawDDArrows"))
        m_exStyle |= TBSTYLE_EX_DRAWDDARROWS;
    if (attributes.Bool(L"mixedButtons"))
        m_exStyle |= TBSTYLE_EX_MIXEDBUTTONS;
    m_buttonWidth = attributes.Int(L"btnWidth", 0);
    m_buttonHeight = attributes.Int(L"btnHeight", 0);
    return true;
}

void CWynToolbar::Create() {
    kelvo::EnsureCommonControls(ICC_BAR_CLASSES);
    kelvo::ControlWindow control;
    control.windowClass = TOOLBARCLASSNAMEW;
    control.style = m_style;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd) {
        ::SendMessageW(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        ::SendMessageW(m_hWnd, TB_SETEXTENDEDSTYLE, 0, m_exStyle);
        SIZE icon{16, 16};
        for (const auto& child : m_children) {
            if (const auto* button = dynamic_cast<const CWynToolbarButton*>(child.get()))
                icon = {std::max(icon.cx, button->IconSize().cx),
                        std::max(icon.cy, button->IconSize().cy)};
        }
        // The icon sizes are given at 96 DPI.
        m_images = kelvo::CreateImageList(Scale(icon.cx), Scale(icon.cy));
        ::SendMessageW(m_hWnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images.Get()));
        for (const auto& child : m_children) {
            if (auto* button = dynamic_cast<CWynToolbarButton*>(child.get()))
                button->AddTo(m_hWnd, m_images.Get());
        }
        if (m_buttonWidth > 0 && m_buttonHeight > 0)
            ::SendMessageW(m_hWnd, TB_SETBUTTONSIZE, 0,
                           MAKELPARAM(Scale(m_buttonWidth), Scale(m_buttonHeight)));
    }
    CWynElement::Create();
}

void CWynToolbar::UpdatePixels() {
    CWynElement::UpdatePixels();
    SIZE size{};
    if (m_hWnd)
        ::SendMessageW(m_hWnd, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    m_pixels.minWidth = size.cx;
    m_pixels.minHeight = size.cy;
}

SIZE CWynToolbar::Measure() const {
    return {m_pixels.minWidth, m_pixels.minHeight};
}

LRESULT CWynToolbar::OnCommand(int, int control_id, HWND) {
    CWynToolbarButton* button = Button(control_id);
    if (!button)
        return 0;
    button->NotifyChildren(button);
    return button->RaiseEvent(L"clicked");
}

LRESULT CWynToolbar::OnNotify(int code, NMHDR* record) {
    switch (static_cast<UINT>(code)) {
    case TBN_DROPDOWN: {
        const int command_id = reinterpret_cast<NMTOOLBARW*>(record)->iItem;
        if (CWynToolbarButton* button = Button(command_id))
            button->NotifyChildren(button);
        RaiseEvent(L"toolbar-dropdown", static_cast<WPARAM>(command_id),
                   reinterpret_cast<LPARAM>(record));
        // Nonzero, so that the dialog's own handling stays out of it.
        kelvo::AnswerNotification(m_hWnd, TBDDRET_DEFAULT);
        return 1;
    }
    case TBN_TOOLBARCHANGE:
        RaiseEvent(L"toolbar-changed", 0, reinterpret_cast<LPARAM>(record));
        kelvo::AnswerNotification(m_hWnd, 0);
        return 1;
    case NM_CUSTOMDRAW:
        return kelvo::AnswerNotification(
            m_hWnd, static_cast<LRESULT>(
                        RaiseEvent(L"toolbar-customdraw", 0, reinterpret_cast<LPARAM>(record))));
    default:
        return 0;
    }
}

CWynToolbarButton* CWynToolbar::Button(int command_id) {
    for (const auto& child : m_children) {
        if (child->ControlId() == command_id)
            return dynamic_cast<CWynToolbarButton*>(child.get());
    }
    return nullptr;
}
