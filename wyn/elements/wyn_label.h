#pragma once
// "label": static text. Single-line labels measure their text; multiline ones
// wrap and take the height their text needs in the width layout gives them.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynLabel : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    void SetTextValue(const wchar_t* text) override;
    const wchar_t* GetTextValue() override;
    // A multiline label: the height of its text wrapped at that width.
    int HeightForWidth(int width) const override;

private:
    enum Align : int { kLeft, kRight, kCenter };

    const wchar_t* Text() const { return m_value ? m_value->c_str() : nullptr; }

    std::optional<std::wstring> m_value;
    bool m_vcenter = true;
    bool m_multiline = false;
    int m_align = kLeft;
};
