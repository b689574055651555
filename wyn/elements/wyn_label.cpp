#include "wyn/elements/wyn_label.h"

#include <algorithm>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynLabel::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"label", name, element);
}

bool CWynLabel::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_value = GetLocalizedAttribute(node, L"value");
    m_multiline = attributes.Bool(L"multiline");
    // A multiline label never centres vertically.
    m_vcenter = attributes.BoolDefaultTrue(L"vcenter") && !m_multiline;
    m_align = attributes.Enum(L"textalign", {L"left", L"right", L"center"}, kLeft);
    return true;
}

void CWynLabel::Create() {
    DWORD style = m_align == kRight ? SS_RIGHT : m_align == kCenter ? SS_CENTER : SS_LEFT;
    if (m_vcenter)
        style |= SS_CENTERIMAGE;
    m_hWnd = kelvo::CreateControlWindow(
        *this,
        {.windowClass = L"STATIC", .text = m_value ? m_value->c_str() : L"", .style = style});

    CWynElement::Create();
}

void CWynLabel::UpdatePixels() {
    CWynElement::UpdatePixels();
    if (m_multiline) {
        const RECT natural = ToPixels({0, 0, m_requestedWidth > 0 ? m_requestedWidth : 7,
                                       m_requestedHeight > 0 ? m_requestedHeight : 7});
        m_pixels.minWidth = natural.right;
        m_pixels.minHeight = natural.bottom;
    } else {
        const RECT units =
            ToPixels({0, 0, m_requestedWidth, m_requestedHeight > 0 ? m_requestedHeight : 8});
        const SIZE text = kelvo::MeasureText(*this, Text(), m_requestedWidth > 0 ? units.right : 0);
        m_pixels.minWidth = m_requestedWidth > 0 ? units.right : text.cx;
        m_pixels.minHeight = std::max<int>(text.cy, units.bottom);
    }
}

int CWynLabel::HeightForWidth(int width) const {
    if (!m_multiline)
        return CWynElement::HeightForWidth(width);
    // Never wrapped narrower than the label's natural width.
    const RECT least = ToPixels({0, 0, 7, 7});
    const int wrap_width = std::max({m_pixels.minWidth, static_cast<int>(least.right), width});
    const SIZE text = kelvo::MeasureText(*this, Text(), wrap_width);
    return std::max(
        {m_pixels.minHeight, static_cast<int>(text.cy), static_cast<int>(least.bottom)});
}

void CWynLabel::SetTextValue(const wchar_t* text) {
    m_value = text ? std::optional<std::wstring>(text) : std::nullopt;
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, text ? text : L"");
}

const wchar_t* CWynLabel::GetTextValue() {
    return Text();
}
