#pragma once
// "checkslist": a list of check boxes, one row per "checkitem" child. An
// item's value is its check state; the user's checking raises "changed" on
// the list.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"

class CWynCheckItem : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // Check state: 1 checked, 0 not (also without a list window).
    int GetIntValue() override;
    void SetIntValue(int value) override;

    const std::wstring& Label() const noexcept { return m_label; }
    // The `value` attribute, kept as the row's item data.
    int Value() const noexcept { return m_value; }

private:
    int Row();

    std::wstring m_label;
    int m_value = 0;
};

class CWynChecksList : public CWynElement {
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
    // Its one column takes the placed list's whole width.
    void OnLayoutApplied() override;
    LRESULT OnNotify(int code, NMHDR* record) override;

    // Sets a row's check box without taking it for the user's change.
    void SetChecked(int row, bool checked);

private:
    int m_visibleItems = 5;
    bool m_filling = false; // while the element itself changes rows
};
