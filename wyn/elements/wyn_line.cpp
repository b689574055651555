#include "wyn/elements/wyn_line.h"

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynLine::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"line", name, element);
}

bool CWynLine::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_vertical = CWynAttributes(node).Enum(L"type", {L"EtchedHorz", L"EtchedVert"}, 0) == 1;
    m_requestedLength = m_vertical ? m_rect.height : m_rect.width;
    return true;
}

void CWynLine::Create() {
    m_hWnd = kelvo::CreateControlWindow(
        *this, {.windowClass = L"STATIC",
                .style = static_cast<DWORD>(m_vertical ? SS_ETCHEDVERT : SS_ETCHEDHORZ)});
    const int length = m_requestedLength > 0 ? m_requestedLength : 14;
    const RECT natural = ToPixels(m_vertical ? RECT{0, 0, 1, length} : RECT{0, 0, length, 1});
    m_minWidth = natural.right;
    m_minHeight = natural.bottom;
    CWynElement::Create();
}

void CWynLine::Arrange(int left, int top, int width, int height) {
    m_rect = {left, top, width, height};
    if (!m_hWnd)
        return;
    const RECT placed = m_vertical
                            ? RECT{left + (width - m_minWidth) / 2, top, m_minWidth, height}
                            : RECT{left, top + (height - m_minHeight) / 2, width, m_minHeight};
    ::SetWindowPos(m_hWnd, nullptr, placed.left, placed.top, placed.right, placed.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
}
