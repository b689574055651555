#include "wyn/engine/wyn_spacer.h"

bool CWynSpacer::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"spacer", name, element);
}

void CWynSpacer::Create() {
    const RECT natural = ToPixels({0, 0, m_rect.width, m_rect.height});
    m_minWidth = natural.right;
    m_minHeight = natural.bottom;
    CWynElement::Create();
}
