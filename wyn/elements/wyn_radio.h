#pragma once
// "radio" and "radiogroup". A radio is an automatic radio button whose value
// is its check state; the first radio of a group (or of a run of sibling
// radios outside any group) starts a new button group, so checking one
// unchecks the others of its group only. A radio group has no window: its
// value is the `value` of its checked radio, and it turns its radios'
// "changed" into its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "wyn/engine/wyn_element.h"

class CWynRadio : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    // Check state (0 or 1); setting it notifies the children.
    void SetIntValue(int value) override;
    int GetIntValue() override;
    // A multiline radio: the height its text needs wrapped in that width.
    int HeightForWidth(int width) const override;

    // The `value` attribute: what the radio group answers when this is checked.
    int Value() const noexcept { return m_value; }

private:
    bool StartsGroup();
    // The circle and the gap before the text.
    int BoxWidth() const;
    int LineHeight() const;

    std::optional<std::wstring> m_label;
    bool m_selected = false;
    bool m_multiline = false;
    int m_value = 0;
    int m_vAlign = 0;
    int m_hAlign = 0;
};

class CWynRadioGroup : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                         LPARAM second) override;
    // The `value` of the first checked radio; 0 when none is checked.
    int GetIntValue() override;
    // Checks the radios whose `value` equals `value` and unchecks the others.
    void SetIntValue(int value) override;

    // The radios of this group, at any depth below it, in document order.
    std::vector<CWynRadio*> Radios();
    // The group that `element` belongs to: the nearest radio group above it.
    static CWynRadioGroup* Of(CWynElement& element);

private:
    static void CollectRadios(CWynElement& from, std::vector<CWynRadio*>& radios);
};
