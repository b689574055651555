#include "wyn/elements/wyn_slider.h"

#include <commctrl.h>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

bool CWynSlider::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"slider", name, element);
}

bool CWynSlider::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_vertical = attributes.Enum(L"type", {L"horizontal", L"vertical"}, 0) == 1;
    m_style = m_vertical ? TBS_VERT : TBS_HORZ;
    if (attributes.Bool(L"autoTics"))
        m_style |= TBS_AUTOTICKS;
    if (attributes.Bool(L"noTics"))
        m_style |= TBS_NOTICKS;
    if (attributes.Bool(L"invert"))
        m_style |= TBS_REVERSED | TBS_DOWNISLEFT;
    m_minValue = attributes.Int(L"minValue", 0);
    m_maxValue = attributes.Int(L"maxValue", 100);
    m_ticFrequency = attributes.Int(L"ticFreq", 0);
    return true;
}

void CWynSlider::Create() {
    kelvo::EnsureCommonControls(ICC_BAR_CLASSES);
    kelvo::ControlWindow control;
    control.windowClass = TRACKBAR_CLASSW;
    control.style = WS_TABSTOP | m_style;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd) {
        ::SendMessageW(m_hWnd, TBM_SETRANGEMIN, FALSE, m_minValue);
        ::SendMessageW(m_hWnd, TBM_SETRANGEMAX, TRUE, m_maxValue);
        if (m_ticFrequency > 0)
            ::SendMessageW(m_hWnd, TBM_SETTICFREQ, static_cast<WPARAM>(m_ticFrequency), 0);
    }
    CWynElement::Create();
}

void CWynSlider::UpdatePixels() {
    CWynElement::UpdatePixels();
    // Long along its axis, one thumb across: `width` and `height` when given.
    const int along = m_vertical ? m_requestedHeight : m_requestedWidth;
    const int across = m_vertical ? m_requestedWidth : m_requestedHeight;
    const int a = along ? along : 100, c = across ? across : 15;
    const RECT natural = ToPixels({0, 0, m_vertical ? c : a, m_vertical ? a : c});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

void CWynSlider::SetIntValue(int value) {
    if (m_hWnd)
        ::SendMessageW(m_hWnd, TBM_SETPOS, TRUE, value);
}

int CWynSlider::GetIntValue() {
    return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, TBM_GETPOS, 0, 0)) : 0;
}
