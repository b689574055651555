#include "wyn/elements/wyn_checkbox.h"

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynCheckbox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"checkbox", name, element);
}

bool CWynCheckbox::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes a(node);
    m_label = GetLocalizedAttribute(node, L"label");
    m_checked = a.Bool(L"checked");
    m_auto = a.BoolDefaultTrue(L"auto");
    m_triState = a.Bool(L"triState");
    return true;
}

void CWynCheckbox::Create() {
    const DWORD kind = m_triState ? (m_auto ? BS_AUTO3STATE : BS_3STATE)
                                  : (m_auto ? BS_AUTOCHECKBOX : BS_CHECKBOX);
    m_hWnd = kelvo::CreateControlWindow(*this, {.windowClass = L"BUTTON",
                                                .text = m_label ? m_label->c_str() : L"",
                                                .style = WS_TABSTOP | kind});
    if (m_hWnd && m_checked)
        ::SendMessageW(m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    CWynElement::Create();
}

void CWynCheckbox::UpdatePixels() {
    CWynElement::UpdatePixels();
    // The box is as wide as the line is high, with a gap before the text.
    const RECT units = ToPixels({0, 0, 7, 10});
    m_pixels.minWidth = kelvo::MeasureText(*this, m_label ? m_label->c_str() : nullptr).cx +
                        units.right + units.bottom;
    m_pixels.minHeight = units.bottom;
}

LRESULT CWynCheckbox::OnCommand(int code, int, HWND) {
    if (code != BN_CLICKED)
        return 0;
    NotifyChildren(this);
    return RaiseEvent(L"changed");
}

int CWynCheckbox::GetIntValue() {
    return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)) : 0;
}

void CWynCheckbox::SetIntValue(int value) {
    if (m_hWnd)
        ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    NotifyChildren(this);
}
