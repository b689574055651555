#pragma once
// "box", "vbox" and "hbox": containers without a window, with inner margins.

#include "wyn/engine/wyn_element.h"

class CWynBox : public CWynElement {
public:
    // "box" reads `orient`; "vbox" and "hbox" keep their own whatever it says.
    enum class Orient { kFromAttribute, kVertical, kHorizontal };

    CWynBox(CWynElement* parent, CWynEngine* engine, Orient orient) noexcept;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void UpdatePixels() override;
    int GetKind() override;

private:
    Orient m_fixedOrient;
};
