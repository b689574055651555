#pragma once
// "checkbox": a check box, two-state or three-state, checked by the user
// (auto) or only by the program.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynCheckbox : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    // 0 unchecked, 1 checked, 2 indeterminate; 0 without a window.
    int GetIntValue() override;
    void SetIntValue(int value) override;

private:
    std::optional<std::wstring> m_label;
    bool m_checked = false;
    bool m_auto = true;
    bool m_triState = false;
};
