#pragma once
// "groupbox": a framed, captioned group around its children. The frame is a
// transparent group-box button made after the children's windows, so it lies
// below them in the Z-order and the tab order.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynGroupbox : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;

private:
    std::optional<std::wstring> m_label;
};
