#include "wyn/engine/wyn_spacer.h"

bool CWynSpacer::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"spacer", name, element);
}

void CWynSpacer::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT natural = ToPixels({0, 0, m_requestedWidth, m_requestedHeight});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}
