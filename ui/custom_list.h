#pragma once
// "customlist": a vertical list of items of varying height that the dialog
// draws itself. An item is an opaque value of the owner's; the list keeps the
// selection, the keyboard and the mouse, scrolls by pixels and draws a
// two-pixel frame whose colour shows the keyboard focus. The attribute
// "multi-selection" = "true" lets Ctrl+click add items to the selection.
//
// The owner is asked through events (first, second parameter):
//   "customlst-getheight"  device context of the list, MeasureRecord* (the
//                          owner sets its height); for every item during
//                          RecalculateHeights, where the owner may answer an
//                          estimate and say so, and again, exact, for each
//                          estimated item when it comes into view
//   "customlst-drawitem"   kelvo::CPaintContext*, DrawRecord*; for the items
//                          that meet the area being painted, only those
//   "customlst-getname"    item data, std::wstring* to fill with what the item
//                          shows, for screen readers; unanswered: no name
//   "customlst-delitem"    item data, 0; for every item during DeleteAllItems
//   "customlst-gettip"     item data, std::wstring* to fill with the whole
//                          text of an item that shows it cut, when the
//                          pointer comes over it; left empty: no tip
// and told through events:
//   "customlst-selchanged" 0, 0; after a click on an item or a keyboard move
//   "customlst-dblclick"   item data, 0; double click on an item, or a screen
//                          reader's default action on it
//   "customlst-rclick"     item data, 0; right button released over an item
//   "customlst-ctxmenu"    data of the current item, screen point
//                          (MAKELPARAM(x, y)); the context menu, by the mouse
//                          or the keyboard, while there is a current item
//   "customlst-keyenter", "customlst-keydel"  data of the current item, 0
//
// Scrolling, the current item and the navigation keys are the scroll
// source's (draw/scroll_source.h). Finding the rows to paint or under a
// point is a binary search over the item tops: the cost of a paint or a
// scroll step does not grow with the number of items. Estimates corrected
// as items come into view keep the current item, or else the first one
// shown, where it was on the screen.

#include <cstdint>
#include <vector>

#include "base/win_handles.h"
#include "base/window_binding.h"
#include "draw/scroll_source.h"
#include "ui/drawn_accessible.h"
#include "wyn/engine/wyn_element.h"

class CWynCustomList : public CWynElement,
                       public kelvo::CScrollSource,
                       private kelvo::AccessibleSource {
public:
    struct MeasureRecord {
        int index;
        std::uintptr_t data;
        std::uint32_t height;   // 0 on entry
        int width;              // the width an item has: the list's client width
        bool exact = false;     // the item is in view: an estimate will not do
        bool estimated = false; // set by the owner when it answered an estimate
    };
    enum DrawState : std::uint32_t { kSelected = 1, kCurrent = 2 };
    struct DrawRecord {
        int index;
        std::uintptr_t data;
        RECT rect;           // client coordinates
        std::uint32_t state; // DrawState bits
    };

    CWynCustomList(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;

    // Appends an item of height 0 (until the next RecalculateHeights) and
    // answers its index.
    int AddItem(std::uintptr_t data);
    // Asks the owner for every item's height, then keeps the current item in
    // view. The tops of all items together stay below 2^31 pixels: a height
    // that would pass that is cut.
    void RecalculateHeights();
    // Tells the owner of every item ("customlst-delitem"), then empties the
    // list: no current item, nothing selected, scrolled to the top.
    void DeleteAllItems();
    // A refill in one step: DeleteAllItems, AddItem for each of `data`,
    // RecalculateHeights and SelectItem(current) (none when out of range),
    // with one update of the scroll bar, which a refill does not hide and
    // show again.
    void ReplaceItems(const std::vector<std::uintptr_t>& data, int current);
    // Makes the item current and the only one selected, and scrolls it into
    // view; an index out of range does nothing. Raises no event.
    void SelectItem(int index) { SetCurrent(index, true); }
    // SelectItem, keeping the item in view only when asked.
    void SetCurrent(int index, bool keep_visible) override;

    int ItemCount() const noexcept override { return static_cast<int>(m_items.size()); }
    std::uintptr_t ItemData(int index) const noexcept;
    bool IsSelected(int index) const noexcept;
    // The frame drawn over the border: 2 pixels at 96 DPI.
    int FocusFrameWidth() const { return Scale(2); }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Item {
        int height;
        int top; // the sum of the heights of the items before
        std::uintptr_t data;
        bool selected;
        bool estimated;
    };

    HWND ScrollingWindow() const override { return m_hWnd; }
    int LineHeight() const override;
    int ItemTop(int index) const override;
    int ItemHeight(int index) const override;
    void SelectionChanged() override;
    // Asks the owner for every item's height, an estimate allowed, and lays
    // the items out.
    void MeasureItems();
    // The tops of the items from `first` on, from the heights.
    void LayOutFrom(std::size_t first);
    // Asks the owner for the exact height of every estimated item in view,
    // until none is left, keeping the current item or else the first one
    // shown where it was on the screen.
    void MeasureShown();
    // Tells the owner of every item and forgets them all.
    void ForgetItems();

    // A Ctrl+click in a multi-selection list: the item becomes current and
    // selected, the other selections stay.
    void AddToSelection(int index);
    void MarkSelected(int index);
    void OnMouseDown(HWND window, WPARAM wParam, LPARAM lParam);
    void OnContextMenu(LPARAM lParam);
    // The tip of the item under the pointer (client point), when it changed.
    void UpdateTip(POINT pointer);
    // No tip until the pointer moves again: the items under it moved.
    void ForgetTip();
    void Paint(HWND window);
    void PaintFrame(HWND window) const;

    // What screen readers learn.
    long AccRole() const override;
    // The label before the list.
    bool AccName(std::wstring& name) override;
    long AccItemCount() const override;
    std::wstring AccItemName(long index) override;
    long AccItemState(long index) const override;
    RECT AccItemRect(long index) const override;
    long AccItemAt(POINT client) const override;
    long AccFocusedItem() const override;
    std::vector<long> AccSelectedItems() const override;
    const wchar_t* AccDefaultAction(long index) const override;
    bool AccDoDefaultAction(long index) override;

    std::vector<Item> m_items;
    std::vector<int> m_selected; // the indexes whose item is selected
    bool m_multiSelection = false;
    kelvo::CAccessibility m_accessibility{*this};
    kelvo::UniqueHwnd m_tip; // made when an item first has a tip
    int m_tipItem = -1;      // the item the pointer was last over
    kelvo::COwnWindow m_ownWindow;
};
