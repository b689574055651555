#pragma once
// "progress": a progress bar between `lowLimit` and `highLimit`, or with
// `marquee` an endless one. Its value is the position.

#include "wyn/engine/wyn_element.h"

class CWynProgress : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    void SetIntValue(int value) override;
    int GetIntValue() override;

private:
    DWORD m_style = 0;
    bool m_vertical = false;
    int m_low = 0;
    int m_high = 100;
};
