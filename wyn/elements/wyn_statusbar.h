#pragma once
// "statusbar" with its "sbpart" children: parts of `size` dialog units, and
// parts with `flex` that share the rest of the width by their weights. A
// part's text is set through its value.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynSBPart : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void UpdatePixels() override;
    void SetTextValue(const wchar_t* text) override;

    int Flex() const noexcept { return m_flex; }
    // Pixels once created.
    int Size() const noexcept { return m_size; }

private:
    int Index();

    int m_flex = 0;
    int m_units = 0; // the width as described, in dialog units
    int m_size = 0;  // pixels
};

class CWynStatusBar : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // The parts are no cells of a grid.
    // The measured size: the items inside take no room.
    SIZE Measure() const override;
    int HeightForWidth(int) const override { return Measure().cy; }
    // Divides the placed bar's width among the parts.
    void OnLayoutApplied() override;

private:
    bool m_sizeGrip = false;
};
