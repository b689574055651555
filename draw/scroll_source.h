#pragma once
// Scrolling by pixels over a column of rows with a current row, for the
// windows that draw such a column themselves (the drawn list, the target
// window chooser). The window supplies its rows and its line height; this
// keeps the scroll position and the current row, answers the vertical scroll
// bar, the wheel and the navigation keys, and keeps the current row in view.
//
// Rows lie one below the other in index order (each row's top is at or below
// the previous row's bottom), so the row at a point is found by a binary
// search: no step here walks every row.
//
// A thumb's WM_VSCROLL carries its position in 16 bits; the position is read
// from the scroll bar, which keeps all 32, so a column taller than 65,535
// pixels scrolls to its end.

#include <windows.h>

#include <array>

namespace kelvo {

class CScrollSource {
public:
    virtual ~CScrollSource() = default;

    // WM_VSCROLL's wParam.
    void OnVScroll(WPARAM wParam);
    // WM_MOUSEWHEEL's wParam: one notch of 120 moves one line, a smaller
    // delta in proportion (truncated toward zero).
    void OnMouseWheel(WPARAM wParam);
    // Up, Down, Home, End, Page Up and Page Down move the current row (with
    // none: Up, End and Page Up to the last row, the others to the first)
    // and then call SelectionChanged. False for any other key.
    bool OnKeyDown(WPARAM key);

    // Shows the scroll bar when the rows do not fit, keeping the position in
    // range and, when asked, the current row in view; hides it and scrolls
    // to the top when they fit.
    void UpdateScrollBar(bool keep_current_visible);
    // Moves the position by `amount` pixels within the column.
    void ScrollBy(int amount);
    // Makes the row `index` current and repaints the old and the new current
    // row; an index out of range does nothing.
    virtual void SetCurrent(int index, bool keep_visible);

    bool IsValidIndex(int index) const;
    // Client coordinates: the client area's left and right, the row's top
    // and bottom moved by the scroll position. Empty for an invalid index.
    RECT ItemRect(int index) const;
    // The row whose rectangle holds the point (client coordinates), else -1.
    int HitTest(POINT point) const;
    // The content's y shown at the top of the client area.
    int ScrollPosition() const noexcept { return m_scroll; }
    // -1: none.
    int CurrentIndex() const noexcept { return m_current; }
    int PageHeight() const;
    // The bottom of the last row; 0 without rows.
    int TotalHeight() const;

protected:
    // The window whose client area shows the rows and whose vertical scroll
    // bar scrolls them.
    virtual HWND ScrollingWindow() const = 0;
    virtual int LineHeight() const = 0;
    virtual int ItemCount() const = 0;
    // Content coordinates: the row's top and height in pixels.
    virtual int ItemTop(int index) const = 0;
    virtual int ItemHeight(int index) const = 0;
    // After a key moved the current row. Base: nothing.
    virtual void SelectionChanged() {}

    void InvalidateItem(int index) const;
    // The first row that ends below content y `y`; ItemCount() for none.
    int FirstEndingBelow(int y) const;
    // Top of the column, no current row: for a column emptied.
    void Reset() noexcept;

private:
    void ScrollTo(int position);
    void ShowScrollBar(bool show);

    // What the scroll bar was last set to; -1s while it is hidden.
    struct BarState {
        int max = -1;
        int page = -1;
        int position = -1;
        bool operator==(const BarState&) const = default;
    };

    // Where the system put the thumb and the states of the bar's parts, as
    // last drawn.
    struct BarLook {
        int thumbTop = -1;
        int thumbBottom = -1;
        std::array<DWORD, CCHILDREN_SCROLLBAR + 1> states{};
        bool operator==(const BarLook&) const = default;
    };

    int m_scroll = 0;
    int m_current = -1;
    BarState m_bar;
    BarLook m_barLook;
};

} // namespace kelvo
