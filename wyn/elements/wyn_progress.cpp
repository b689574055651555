#include "wyn/elements/wyn_progress.h"

#include <commctrl.h>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

bool CWynProgress::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"progress", name, element);
}

bool CWynProgress::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    const std::pair<const wchar_t*, DWORD> flags[] = {{L"marquee", PBS_MARQUEE},
                                                      {L"smooth", PBS_SMOOTH},
                                                      {L"smoothreverse", PBS_SMOOTHREVERSE},
                                                      {L"vertical", PBS_VERTICAL}};
    for (const auto& [name, bit] : flags) {
        if (attributes.Bool(name))
            m_style |= bit;
    }
    m_vertical = (m_style & PBS_VERTICAL) != 0;
    m_low = attributes.Int(L"lowLimit", 0);
    m_high = attributes.Int(L"highLimit", 100);
    return true;
}

void CWynProgress::Create() {
    kelvo::EnsureCommonControls(ICC_PROGRESS_CLASS);
    kelvo::ControlWindow control;
    control.windowClass = PROGRESS_CLASSW;
    control.style = m_style;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd) {
        ::SendMessageW(m_hWnd, PBM_SETRANGE32, static_cast<WPARAM>(m_low), m_high);
        if (m_style & PBS_MARQUEE)
            ::SendMessageW(m_hWnd, PBM_SETMARQUEE, TRUE, 0);
    }
    CWynElement::Create();
}

void CWynProgress::UpdatePixels() {
    CWynElement::UpdatePixels();
    const int along = m_vertical ? m_requestedHeight : m_requestedWidth;
    const int across = m_vertical ? m_requestedWidth : m_requestedHeight;
    const int a = along ? along : 100, c = across ? across : 10;
    const RECT natural = ToPixels({0, 0, m_vertical ? c : a, m_vertical ? a : c});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

void CWynProgress::SetIntValue(int value) {
    if (m_hWnd)
        ::SendMessageW(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

int CWynProgress::GetIntValue() {
    return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0)) : 0;
}
