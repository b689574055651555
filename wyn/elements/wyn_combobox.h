#pragma once
// "combobox": a drop-down list, or with `editable` a drop-down with an edit
// field that may complete typed text from the items; "listitem": one of its
// items, a label with an integer value.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynListItem : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;

    const std::wstring& Label() const noexcept { return m_label; }
    int Value() const noexcept { return m_value; }

private:
    std::wstring m_label;
    int m_value = 0;
};

class CWynComboBox : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // The cell's width, room below for the list, the closed box centred in the cell.
    void CalculateLayout(const Rect& rect, CWynLayout& layout) const override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    // The value of the selected item; -1 with no selection.
    int GetIntValue() override;
    // Selects the first item of that value; no such item changes nothing.
    void SetIntValue(int value) override;
    const wchar_t* GetTextValue() override;
    void SetTextValue(const wchar_t* text) override;

private:
    enum OwnerDraw : int { kNoOwnerDraw, kFixed, kVariable };

    void AutoComplete();
    std::wstring ItemText(int index) const;

    bool m_editable = false;
    bool m_sorted = false;
    bool m_autoComplete = false;
    int m_size = 10;
    int m_ownerDraw = kNoOwnerDraw;
    std::wstring m_lastTyped;
    std::wstring m_read;
};
