#pragma once
// "rtf": a rich-edit box ("RichEdit20W") that holds plain text. Its window
// style comes from the attributes; it measures nothing (`minwidth` and
// `minheight` are taken as pixels). Changes by the user raise "changed";
// a click on a link opens it.

#include "base/wipe.h"
#include "wyn/engine/wyn_element.h"

class CWynRTF : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    LRESULT OnNotify(int code, NMHDR* record) override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    // The text exactly as given: a text that looks like rich text is not
    // interpreted, and the length is not limited.
    void SetTextValue(const wchar_t* text) override;
    // The window text, in storage that is wiped when read again or dropped
    // (the text may be a secret); none when empty.
    const wchar_t* GetTextValue() override;

protected:
    // On while the element itself puts text into its window: the changes it
    // causes are not the user's.
    bool m_settingText = false;

private:
    DWORD m_style = 0;
    kelvo::WipedString<wchar_t> m_text;
};
