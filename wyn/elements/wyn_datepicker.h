#pragma once
// "datepicker": a date or time field. Its text value is the date as
// "YYYY-MM-DD" (with `format` "time": "HH:MM:SS"), none when `showNone` is
// on and the box is unchecked. The user's changes raise "changed".

#include <string>

#include "wyn/engine/wyn_element.h"

class CWynDatePicker : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    LRESULT OnNotify(int code, NMHDR* record) override;
    // A text that is not a valid date (or time) changes nothing; none (or an
    // empty text) unchecks the box when the picker has one.
    void SetTextValue(const wchar_t* text) override;
    const wchar_t* GetTextValue() override;

private:
    enum Format : int { kShortDate, kLongDate, kTime };

    int m_format = kShortDate;
    bool m_showNone = false;
    bool m_useSpin = false;
    std::wstring m_text;
};
