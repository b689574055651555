#include "wyn/elements/wyn_button.h"

#include <algorithm>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynButton::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"button", name, element);
}

bool CWynButton::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes a(node);
    m_label = GetLocalizedAttribute(node, L"label");
    m_type = a.Enum(L"dlgType", {L"button", L"accept", L"cancel", L"help", L"disclosure"}, kButton);
    m_default = a.Bool(L"default");
    return true;
}

void CWynButton::Create() {
    if (m_type == kAccept)
        m_controlId = IDOK;
    else if (m_type == kCancel)
        m_controlId = IDCANCEL;
    const bool is_default = m_default || m_type == kAccept;
    m_hWnd = kelvo::CreateControlWindow(
        *this, {.windowClass = L"BUTTON",
                .text = m_label ? m_label->c_str() : L"",
                .style = static_cast<DWORD>(WS_TABSTOP |
                                            (is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))});
    CWynElement::Create();
}

void CWynButton::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT units = ToPixels({0, 0, m_requestedWidth > 0 ? m_requestedWidth : 50,
                                 m_requestedHeight > 0 ? m_requestedHeight : 14});
    m_pixels.minWidth =
        m_requestedWidth > 0
            ? units.right
            : std::max<int>(kelvo::MeasureText(*this, m_label ? m_label->c_str() : nullptr).cx +
                                Scale(12),
                            units.right);
    m_pixels.minHeight = units.bottom;
}

LRESULT CWynButton::OnCommand(int code, int, HWND) {
    if (code != BN_CLICKED)
        return 0;
    NotifyChildren(this);
    return RaiseEvent(L"clicked");
}

void CWynButton::SetTextValue(const wchar_t* text) {
    m_label = text ? std::optional<std::wstring>(text) : std::nullopt;
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, text ? text : L"");
}
