#pragma once
// "line": an etched separator, horizontal across its cell or vertical down it.

#include "wyn/engine/wyn_element.h"

class CWynLine : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // Spans the cell along the line, centred across it at its natural thickness.
    void CalculateLayout(const Rect& rect, CWynLayout& layout) const override;

private:
    bool m_vertical = false;
};
