#pragma once
// "listbox": a list of its "listitem" children. Its value is the value of
// the selected item (with several selected, of the first), -1 with none.
// Selecting raises "changed", a double click "dbl-click".

#include "wyn/engine/wyn_element.h"

class CWynListBox : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // The items are no cells of a grid.
    // The measured size: the items inside take no room.
    SIZE Measure() const override;
    int HeightForWidth(int) const override { return Measure().cy; }
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    int GetIntValue() override;
    // Selects the first item of that value alone; no such item changes nothing.
    void SetIntValue(int value) override;

private:
    enum Selection : int { kSingle, kMultiple, kExtended, kNone };

    bool MultipleSelection() const noexcept;

    int m_selection = kSingle;
    int m_ownerDraw = 0;
    bool m_multicolumn = false;
    bool m_sort = false;
    bool m_noIntegralHeight = false;
    int m_columnWidth = 0; // dialog units
    int m_rows = 5;
};
