#pragma once
// "tabbox": a tab control whose pages are its "tabpanel" children. A page is
// a child dialog inside the tab control, placed over its display area by the
// tab box; only the selected page is shown. The value is the selected page's
// index. A page counts as live (its values can be read) once it was shown.

#include <optional>
#include <string>
#include <vector>

#include "wyn/host/wyn_dialog.h"

class CWynTabPanel : public CWynDialog {
public:
    CWynTabPanel(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // The page's window with the themed tab-page background.
    void Create() override;
    bool IsLive() override;

    // Shows or hides the page; once shown it stays live.
    void Show(bool shown);
    const std::wstring& Label() const noexcept { return m_label; }

private:
    std::wstring m_label;
    bool m_opened = false;
};

class CWynTabBox : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    void Create() override;
    // The largest page plus the tabs around it.
    SIZE Measure() const override;
    int HeightForWidth(int width) const override;
    // Places the tab control and every page over its display area.
    void CalculateLayout(const Rect& rect, CWynLayout& layout) const override;
    LRESULT OnNotify(int code, NMHDR* record) override;
    int GetIntValue() override;
    // Selects and shows that page; an index out of range changes nothing.
    void SetIntValue(int value) override;

private:
    std::vector<CWynTabPanel*> Pages() const;
    // The display area of a tab control of that size, or with `larger` the
    // control around a display area of that size (TCM_ADJUSTRECT).
    RECT Adjusted(RECT rect, BOOL larger) const;
    void ShowSelected();
};
