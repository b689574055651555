#include "wyn/elements/wyn_combobox.h"

#include <algorithm>

#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynListItem::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"listitem", name, element);
}

bool CWynListItem::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_label = GetLocalizedAttribute(node, L"label").value_or(L"");
    m_value = CWynAttributes(node).Int(L"value", 0);
    return true;
}

bool CWynComboBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"combobox", name, element);
}

bool CWynComboBox::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes a(node);
    m_editable = a.Bool(L"editable");
    m_sorted = a.Bool(L"sorted");
    m_autoComplete = a.Bool(L"autoComplete");
    m_size = std::clamp(a.Int(L"size", 10), 0, 1000);
    m_ownerDraw = a.Enum(L"ownerdraw", {L"no", L"fixed", L"variable"}, kNoOwnerDraw);
    return true;
}

void CWynComboBox::Create() {
    DWORD style = WS_TABSTOP | WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL |
                  (m_editable ? CBS_DROPDOWN : CBS_DROPDOWNLIST);
    if (m_sorted)
        style |= CBS_SORT;
    if (m_ownerDraw == kFixed)
        style |= CBS_OWNERDRAWFIXED;
    else if (m_ownerDraw == kVariable)
        style |= CBS_OWNERDRAWVARIABLE;
    m_hWnd = kelvo::CreateControlWindow(*this, {.windowClass = L"COMBOBOX", .style = style});

    for (const auto& child : m_children) {
        CWynElement* element = nullptr;
        if (!m_hWnd || !child->IsType(L"listitem", element))
            continue;
        const auto* item = static_cast<CWynListItem*>(element);
        const LRESULT index = ::SendMessageW(m_hWnd, CB_ADDSTRING, 0,
                                             reinterpret_cast<LPARAM>(item->Label().c_str()));
        if (index >= 0)
            ::SendMessageW(m_hWnd, CB_SETITEMDATA, static_cast<WPARAM>(index), item->Value());
    }
    CWynElement::Create();
}

void CWynComboBox::UpdatePixels() {
    CWynElement::UpdatePixels();
    int widest = 0;
    bool has_items = false;
    for (const auto& child : m_children) {
        CWynElement* element = nullptr;
        if (!child->IsType(L"listitem", element))
            continue;
        has_items = true;
        widest = std::max<int>(
            widest,
            kelvo::MeasureText(*this, static_cast<CWynListItem*>(element)->Label().c_str()).cx);
    }
    if (!has_items)
        widest =
            kelvo::MeasureText(*this, std::wstring(static_cast<std::size_t>(m_size), L'W').c_str())
                .cx;
    const RECT units = ToPixels({0, 0, m_requestedWidth > 0 ? m_requestedWidth : 18, 14});
    m_pixels.minWidth = m_requestedWidth > 0 ? units.right : widest + units.right;
    m_pixels.minHeight = units.bottom;
}

void CWynComboBox::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    if (!m_hWnd)
        return;
    // The window's height is the dropped list's; the closed box, whose height
    // the control keeps whatever it is given, is centred.
    RECT closed{};
    ::GetWindowRect(m_hWnd, &closed);
    const int shown = m_pixels.maxWidth > 0 ? std::min(rect.width, m_pixels.maxWidth) : rect.width;
    layout.moves.push_back({m_hWnd,
                            {rect.left, rect.top + (rect.height - (closed.bottom - closed.top)) / 2,
                             shown, 5 * rect.height}});
}

LRESULT CWynComboBox::OnCommand(int code, int, HWND) {
    if (code != CBN_SELCHANGE && code != CBN_EDITCHANGE)
        return 0;
    if (code == CBN_EDITCHANGE && m_editable && m_autoComplete)
        AutoComplete();
    NotifyChildren(this);
    return RaiseEvent(L"changed");
}

void CWynComboBox::AutoComplete() {
    wchar_t typed[255] = {};
    ::GetWindowTextW(m_hWnd, typed, 255);
    // Deleting back to what was completed before must not complete again.
    if (kelvo::EqualsNoCase(typed, m_lastTyped))
        return;
    m_lastTyped = typed;
    const LRESULT found = ::SendMessageW(m_hWnd, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(typed));
    if (found == CB_ERR)
        return;
    ::SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    ::SendMessageW(m_hWnd, CB_SETEDITSEL, 0, MAKELPARAM(m_lastTyped.size(), -1));
}

std::wstring CWynComboBox::ItemText(int index) const {
    const LRESULT length = ::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

int CWynComboBox::GetIntValue() {
    if (!m_hWnd)
        return -1;
    const LRESULT selected = ::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return -1;
    return static_cast<int>(
        ::SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0));
}

void CWynComboBox::SetIntValue(int value) {
    if (!m_hWnd)
        return;
    const LRESULT count = ::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (static_cast<int>(::SendMessageW(m_hWnd, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)) ==
            value) {
            ::SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            NotifyChildren(this);
            return;
        }
    }
}

const wchar_t* CWynComboBox::GetTextValue() {
    if (!m_hWnd)
        return nullptr;
    const LRESULT selected = ::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR) {
        m_read = ItemText(static_cast<int>(selected));
    } else if (m_editable) {
        m_read.resize(static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)) + 1);
        m_read.resize(static_cast<std::size_t>(
            ::GetWindowTextW(m_hWnd, m_read.data(), static_cast<int>(m_read.size()))));
    } else {
        return nullptr;
    }
    return m_read.empty() ? nullptr : m_read.c_str();
}

void CWynComboBox::SetTextValue(const wchar_t* text) {
    if (!m_hWnd)
        return;
    const std::wstring_view wanted = text ? text : L"";
    if (m_editable) {
        ::SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ::SetWindowTextW(m_hWnd, text ? text : L"");
    } else {
        const LRESULT count = ::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0);
        LRESULT match = CB_ERR;
        for (LRESULT i = 0; i < count && match == CB_ERR; ++i) {
            if (kelvo::EqualsNoCase(ItemText(static_cast<int>(i)), wanted))
                match = i;
        }
        if (match == CB_ERR)
            return;
        ::SendMessageW(m_hWnd, CB_SETCURSEL, static_cast<WPARAM>(match), 0);
    }
    NotifyChildren(this);
}
