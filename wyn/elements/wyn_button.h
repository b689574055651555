#pragma once
// "button": a push button. An "accept" button is the dialog's OK (control id
// 1, default button) and a "cancel" button its Cancel (control id 2), so Enter
// and Escape reach them.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynButton : public CWynElement {
public:
    using CWynElement::CWynElement;

    enum Type : int { kButton, kAccept, kCancel, kHelp, kDisclosure };

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // BN_CLICKED: the nested elements act, then "clicked"; its answer decides
    // whether the dialog's default handling (ending it for OK and Cancel) runs.
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    void SetTextValue(const wchar_t* text) override;

    int Type() const noexcept { return m_type; }

private:
    std::optional<std::wstring> m_label;
    int m_type = kButton;
    bool m_default = false;
};
