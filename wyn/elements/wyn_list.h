#pragma once
// "list": a list view whose columns are its "listcol" children. The dialog
// fills the rows through the window. Notifications become the events whose
// names begin "lst-" (0, notification record); for "lst-customdraw" the
// answer is the custom-draw result. After the columns are made, the list
// raises "lst-requestcols" so that the dialog can add its own.

#include <optional>
#include <string>

#include "wyn/engine/wyn_element.h"
#include "wyn/host/image_list.h"

class CWynListCol : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // The width in pixels; a column already in the list takes it.
    void UpdatePixels() override;

    // Adds the column at `index` of the list; `images` holds the list's icons.
    void InsertInto(HWND list, int index, HIMAGELIST images);
    bool Visible() const noexcept { return m_visible; }
    int Flex() const noexcept { return m_flex; }
    // Pixels once created.
    int Size() const noexcept { return m_size; }
    const std::optional<std::wstring>& Name() const noexcept { return m_name; }

private:
    // The column's place among the list's columns.
    int Index() const;

    std::optional<std::wstring> m_caption;
    std::optional<std::wstring> m_name;
    std::optional<std::wstring> m_icon;
    int m_units = 50; // the width as described, in dialog units
    int m_size = 0;   // pixels
    int m_flex = 0;
    int m_align = 0;
    bool m_hasImages = false;
    int m_image = -1;
    bool m_bitmapOnRight = false;
    bool m_visible = true;
};

class CWynList : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // The columns are no cells of a grid.
    // The measured size: the items inside take no room.
    SIZE Measure() const override;
    int HeightForWidth(int) const override { return Measure().cy; }
    // Gives the flexible columns the width the placed list leaves over.
    void OnLayoutApplied() override;
    LRESULT OnNotify(int code, NMHDR* record) override;

private:
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    std::optional<std::wstring> m_icon;
    bool m_useIcons = false;
    int m_iconWidth = 16;
    int m_iconHeight = 16;
    kelvo::UniqueHimagelist m_images;
};
