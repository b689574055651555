#pragma once
// "spin": up-down arrows that step the number of the textbox holding them,
// within [lower, upper]. The arrows sit inside the box's cell at its left or
// right edge.

#include "wyn/engine/wyn_element.h"

class CWynSpin : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // Sizes the arrows; once the textbox has moved, they place themselves
    // against it.
    void CalculateLayout(const Rect& rect, CWynLayout& layout) const override;
    void OnLayoutApplied() override;

private:
    // The textbox the arrows belong to, if the parent is one.
    HWND Buddy();

    bool m_alignLeft = false;
    int m_lower = 0;
    int m_upper = 2147483647;
    int m_pos = 0;
};
