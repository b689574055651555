#pragma once
// "textbox": an edit control, single-line or multiline, optionally numbers
// only or masked as a password; may hold a spin that steps its number.

#include <string>

#include "base/wipe.h"
#include "wyn/engine/wyn_element.h"

class CWynTextBox : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    // The text read as a decimal number the way wcstol reads it; 0 for none.
    int GetIntValue() override;
    void SetIntValue(int value) override;
    // None when the box is empty. Read into storage that is wiped when read
    // again or dropped: the text may be a password.
    const wchar_t* GetTextValue() override;
    // Sets the text without raising "changed", then tells the children.
    void SetTextValue(const wchar_t* text) override;

private:
    enum Align : int { kLeft, kRight, kCenter };

    std::wstring m_value;
    kelvo::WipedString<wchar_t> m_read;
    bool m_readonly = false;
    bool m_multiline = false;
    int m_maxLength = 0;
    int m_textRows = 1;
    int m_textCols = 10;
    int m_size = 10;
    bool m_numberOnly = false;
    bool m_password = false;
    int m_align = kLeft;
    bool m_wantReturn = false;
    bool m_autoHScroll = true;
    bool m_autoVScroll = false;
    bool m_hScroll = false;
    bool m_vScroll = false;
    bool m_settingText = false;
};
