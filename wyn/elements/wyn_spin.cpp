#include "wyn/elements/wyn_spin.h"

#include <commctrl.h>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynSpin::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"spin", name, element);
}

bool CWynSpin::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes a(node);
    m_alignLeft = a.Enum(L"buddyalign", {L"left", L"right"}, 1) == 0;
    m_upper = a.Int(L"upper", 2147483647);
    m_lower = a.Int(L"lower", 0);
    m_pos = a.Int(L"pos", m_lower);
    return true;
}

HWND CWynSpin::Buddy() {
    CWynElement* textbox = nullptr;
    return m_parent && m_parent->IsType(L"textbox", textbox) ? textbox->Hwnd() : nullptr;
}

void CWynSpin::Create() {
    // An up-down control places itself among its buddy's siblings, so it is
    // created beside the textbox rather than inside it.
    HWND buddy = Buddy();
    m_hWnd = kelvo::CreateControlWindow(
        *this, {.windowClass = UPDOWN_CLASSW,
                .style = static_cast<DWORD>(UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS |
                                            (m_alignLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT)),
                .parent = buddy ? ::GetParent(buddy) : nullptr});
    if (m_hWnd) {
        ::SendMessageW(m_hWnd, UDM_SETRANGE32, static_cast<WPARAM>(m_lower), m_upper);
        ::SendMessageW(m_hWnd, UDM_SETPOS32, 0, m_pos);
    }
    CWynElement::Create();
}

void CWynSpin::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT natural = ToPixels({0, 0, 11, 14});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

void CWynSpin::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    if (m_hWnd)
        layout.moves.push_back({m_hWnd, {0, 0, rect.width, rect.height}, SWP_NOMOVE});
}

void CWynSpin::OnLayoutApplied() {
    if (!m_hWnd)
        return;
    // The textbox has its new size now. Detached first, so that attaching
    // again shrinks that size rather than the size the arrows already took
    // from it.
    ::SendMessageW(m_hWnd, UDM_SETBUDDY, 0, 0);
    if (HWND buddy = Buddy())
        ::SendMessageW(m_hWnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}
