#include "wyn/elements/wyn_listbox.h"

#include <algorithm>

#include "wyn/elements/wyn_combobox.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynListBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"listbox", name, element);
}

bool CWynListBox::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_selection =
        attributes.Enum(L"selection", {L"single", L"multiple", L"extended", L"none"}, kSingle);
    m_ownerDraw = attributes.Enum(L"ownerDraw", {L"none", L"fixed", L"variable"}, 0);
    m_multicolumn = attributes.Bool(L"multicolumn");
    m_sort = attributes.Bool(L"sort");
    m_noIntegralHeight = attributes.Bool(L"nointegralheight");
    m_columnWidth = attributes.Int(L"colWidth", 0);
    m_rows = std::max(attributes.Int(L"listRows", 5), 1);
    return true;
}

void CWynListBox::Create() {
    constexpr DWORD kSelection[] = {0, LBS_MULTIPLESEL, LBS_EXTENDEDSEL, LBS_NOSEL};
    constexpr DWORD kOwnerDraw[] = {0, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                                    LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS};
    DWORD style =
        WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | kSelection[m_selection] | kOwnerDraw[m_ownerDraw];
    if (m_multicolumn)
        style |= LBS_MULTICOLUMN | WS_HSCROLL;
    if (m_sort)
        style |= LBS_SORT;
    if (m_noIntegralHeight)
        style |= LBS_NOINTEGRALHEIGHT;
    kelvo::ControlWindow control;
    control.windowClass = L"ListBox";
    control.style = style;
    control.exStyle = WS_EX_CLIENTEDGE;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    for (const auto& child : m_children) {
        const auto* item = dynamic_cast<const CWynListItem*>(child.get());
        if (!item || !m_hWnd)
            continue;
        const LRESULT index = ::SendMessageW(m_hWnd, LB_ADDSTRING, 0,
                                             reinterpret_cast<LPARAM>(item->Label().c_str()));
        if (index >= 0)
            ::SendMessageW(m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(index), item->Value());
    }
    CWynElement::Create();
}

void CWynListBox::UpdatePixels() {
    CWynElement::UpdatePixels();
    int widest = kelvo::MeasureText(*this, L"WWWWWWWWWW").cx;
    for (const auto& child : m_children) {
        if (const auto* item = dynamic_cast<const CWynListItem*>(child.get()))
            widest = std::max<int>(widest, kelvo::MeasureText(*this, item->Label().c_str()).cx);
    }
    if (m_hWnd && m_multicolumn && m_columnWidth > 0)
        ::SendMessageW(m_hWnd, LB_SETCOLUMNWIDTH,
                       static_cast<WPARAM>(ToPixels({0, 0, m_columnWidth, 0}).right), 0);
    const int border = 2 * Metric(SM_CXEDGE);
    const int item_height =
        m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, LB_GETITEMHEIGHT, 0, 0)) : 0;
    m_pixels.minWidth = m_requestedWidth ? ToPixels({0, 0, m_requestedWidth, 0}).right
                                         : widest + Metric(SM_CXVSCROLL) + border + Scale(4);
    m_pixels.minHeight = m_requestedHeight ? ToPixels({0, 0, 0, m_requestedHeight}).bottom
                                           : m_rows * item_height + border;
}

SIZE CWynListBox::Measure() const {
    return {m_pixels.minWidth, m_pixels.minHeight};
}

LRESULT CWynListBox::OnCommand(int code, int, HWND) {
    if (code == LBN_SELCHANGE) {
        NotifyChildren(this);
        return RaiseEvent(L"changed");
    }
    if (code == LBN_DBLCLK)
        return RaiseEvent(L"dbl-click");
    return 0;
}

int CWynListBox::GetIntValue() {
    if (!m_hWnd)
        return -1;
    int selected = LB_ERR;
    if (MultipleSelection()) {
        if (::SendMessageW(m_hWnd, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&selected)) != 1)
            return -1;
    } else {
        selected = static_cast<int>(::SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0));
    }
    if (selected < 0)
        return -1;
    return static_cast<int>(
        ::SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

void CWynListBox::SetIntValue(int value) {
    if (!m_hWnd)
        return;
    const int count = static_cast<int>(::SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (::SendMessageW(m_hWnd, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) != value)
            continue;
        if (MultipleSelection()) {
            ::SendMessageW(m_hWnd, LB_SETSEL, FALSE, -1);
            ::SendMessageW(m_hWnd, LB_SETSEL, TRUE, i);
        } else {
            ::SendMessageW(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        }
        NotifyChildren(this);
        return;
    }
}

bool CWynListBox::MultipleSelection() const noexcept {
    return m_selection == kMultiple || m_selection == kExtended;
}
