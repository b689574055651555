#include "wyn/engine/wyn_box.h"

#include "wyn/engine/wyn_attributes.h"

CWynBox::CWynBox(CWynElement* parent, CWynEngine* engine, Orient orient) noexcept
    : CWynElement(parent, engine), m_fixedOrient(orient) {}

bool CWynBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"box", name, element);
}

bool CWynBox::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    if (m_fixedOrient == Orient::kVertical)
        m_orient = kVertical;
    else if (m_fixedOrient == Orient::kHorizontal)
        m_orient = kHorizontal;
    const CWynAttributes attributes(node);
    m_margins = {.left = attributes.Int(L"marginLeft", 0),
                 .right = attributes.Int(L"marginRight", 0),
                 .top = attributes.Int(L"marginTop", 0),
                 .bottom = attributes.Int(L"marginBottom", 0)};
    return true;
}

void CWynBox::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT pixels =
        ToPixels({m_margins.left, m_margins.top, m_margins.right, m_margins.bottom});
    m_pixels.margins = {
        .left = pixels.left, .right = pixels.right, .top = pixels.top, .bottom = pixels.bottom};
}

int CWynBox::GetKind() {
    return 3;
}
