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
    m_requestedWidth = m_rect.width;
    m_requestedHeight = m_rect.height;
    return true;
}

void CWynLabel::Create() {
    DWORD style = m_align == kRight ? SS_RIGHT : m_align == kCenter ? SS_CENTER : SS_LEFT;
    if (m_vcenter)
        style |= SS_CENTERIMAGE;
    m_hWnd = kelvo::CreateControlWindow(
        *this,
        {.windowClass = L"STATIC", .text = m_value ? m_value->c_str() : L"", .style = style});

    if (m_multiline) {
        const RECT natural = ToPixels({0, 0, m_requestedWidth > 0 ? m_requestedWidth : 7,
                                       m_requestedHeight > 0 ? m_requestedHeight : 7});
        m_minWidth = natural.right;
        m_minHeight = natural.bottom;
    } else {
        const RECT units =
            ToPixels({0, 0, m_requestedWidth, m_requestedHeight > 0 ? m_requestedHeight : 8});
        const SIZE text = kelvo::MeasureText(*this, Text(), m_requestedWidth > 0 ? units.right : 0);
        m_minWidth = m_requestedWidth > 0 ? units.right : text.cx;
        m_minHeight = std::max<int>(text.cy, units.bottom);
    }
    CWynElement::Create();
}

void CWynLabel::SetWidthHint(int width) {
    if (!m_multiline)
        return;
    const RECT least = ToPixels({0, 0, 7, 7});
    m_minWidth = std::max({m_minWidth, static_cast<int>(least.right), width});
    const SIZE text = kelvo::MeasureText(*this, Text(), m_minWidth);
    m_minHeight =
        std::max({m_minHeight, static_cast<int>(text.cy), static_cast<int>(least.bottom)});
}

void CWynLabel::SetTextValue(const wchar_t* text) {
    m_value = text ? std::optional<std::wstring>(text) : std::nullopt;
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, text ? text : L"");
}

const wchar_t* CWynLabel::GetTextValue() {
    return Text();
}
