#include "wyn/elements/wyn_line.h"

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynLine::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"line", name, element);
}

bool CWynLine::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_vertical = CWynAttributes(node).Enum(L"type", {L"EtchedHorz", L"EtchedVert"}, 0) == 1;
    return true;
}

void CWynLine::Create() {
    m_hWnd = kelvo::CreateControlWindow(
        *this, {.windowClass = L"STATIC",
                .style = static_cast<DWORD>(m_vertical ? SS_ETCHEDVERT : SS_ETCHEDHORZ)});
    CWynElement::Create();
}

void CWynLine::UpdatePixels() {
    CWynElement::UpdatePixels();
    const int requested = m_vertical ? m_requestedHeight : m_requestedWidth;
    const int length = requested > 0 ? requested : 14;
    const RECT natural = ToPixels(m_vertical ? RECT{0, 0, 1, length} : RECT{0, 0, length, 1});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

void CWynLine::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    if (!m_hWnd)
        return;
    const int thick_x = m_pixels.minWidth;
    const int thick_y = m_pixels.minHeight;
    layout.moves.push_back(
        {m_hWnd,
         m_vertical
             ? Rect{rect.left + (rect.width - thick_x) / 2, rect.top, thick_x, rect.height}
             : Rect{rect.left, rect.top + (rect.height - thick_y) / 2, rect.width, thick_y}});
}
