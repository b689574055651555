#pragma once
// "slider": a trackbar whose value is its position. Moving it reaches the
// dialog as "hscroll" or "vscroll".

#include "wyn/engine/wyn_element.h"

class CWynSlider : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    void SetIntValue(int value) override;
    int GetIntValue() override;

private:
    bool m_vertical = false;
    DWORD m_style = 0;
    int m_minValue = 0;
    int m_maxValue = 100;
    int m_ticFrequency = 0; // 0: the control's own
};
