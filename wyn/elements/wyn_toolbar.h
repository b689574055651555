#pragma once
// "toolbar" with its "toolbarbutton" children. A button's command id is its
// control id; clicking it makes the button raise "clicked". The toolbar
// raises "toolbar-dropdown" (command id, record) for a drop-down arrow,
// after the button's own children acted (a nested popup menu opens),
// "toolbar-changed" and "toolbar-customdraw" (0, record; the answer is the
// custom-draw result).

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"
#include "wyn/host/image_list.h"

class CWynToolbarButton : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;

    // Adds the button to the toolbar, its icon to the toolbar's image list.
    void AddTo(HWND toolbar, HIMAGELIST images);
    SIZE IconSize() const noexcept { return {m_iconWidth, m_iconHeight}; }

private:
    std::optional<std::wstring> m_label;
    std::optional<std::wstring> m_icon;
    BYTE m_style = BTNS_BUTTON;
    int m_iconWidth = 16;
    int m_iconHeight = 16;
};

class CWynToolbar : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // The buttons are no cells of a grid.
    // The measured size: the items inside take no room.
    SIZE Measure() const override;
    int HeightForWidth(int) const override { return Measure().cy; }
    LRESULT OnCommand(int code, int control_id, HWND window) override;
    LRESULT OnNotify(int code, NMHDR* record) override;

private:
    CWynToolbarButton* Button(int command_id);

    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    int m_buttonWidth = 0; // pixels; 0: the control's own
    int m_buttonHeight = 0;
    kelvo::UniqueHimagelist m_images;
};
