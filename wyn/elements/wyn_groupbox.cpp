#include "wyn/elements/wyn_groupbox.h"

#include "wyn/host/wyn_control.h"

bool CWynGroupbox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"groupbox", name, element);
}

bool CWynGroupbox::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_label = GetLocalizedAttribute(node, L"label");
    return true;
}

void CWynGroupbox::Create() {
    CWynElement::Create();
    const wchar_t* label = m_label ? m_label->c_str() : nullptr;
    kelvo::ControlWindow control;
    control.windowClass = L"BUTTON";
    control.text = label ? label : L"";
    control.style = BS_GROUPBOX;
    control.exStyle = WS_EX_TRANSPARENT;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
}

void CWynGroupbox::UpdatePixels() {
    CWynElement::UpdatePixels();
    const SIZE text = kelvo::MeasureText(*this, m_label ? m_label->c_str() : nullptr);
    m_pixels.minWidth = text.cx + Scale(12);
    m_pixels.minHeight = text.cy + Scale(12);
    // The frame and the caption line around the content.
    const RECT margins = ToPixels({7, 11, 8, 7});
    m_pixels.margins = {
        .left = margins.left, .right = margins.right, .top = margins.top, .bottom = margins.bottom};
}
