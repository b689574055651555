#pragma once
// The base of every element of a dialog description. Elements form a tree that
// mirrors the description; each owns its children and its texts, may own one
// child window, and lays its children out in a grid (wyn/layout_grid.h).
//
// Layout is a calculation, then one batch of window moves: Layout works out a
// CWynLayout (where every element is placed and where every window goes)
// from the natural sizes and the heights for widths, changing nothing;
// ApplyLayout moves the windows and stores each element's placed rectangle.

#include <windows.h>

#include <msxml2.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wyn/engine/layout_grid.h"

class CWynEngine;
struct CWynLayout;

class CWynElement {
public:
    // Pixels, in the client coordinates of the window the element lives in.
    using Rect = kelvo::GridRect;

    CWynElement(CWynElement* parent, CWynEngine* engine) noexcept;
    CWynElement(const CWynElement&) = delete;
    CWynElement& operator=(const CWynElement&) = delete;

    // The element operations, in their fixed slot order.

    // Deletes the children first, in order.
    virtual ~CWynElement();
    // True, with the element itself in `element`, when `name` is the type's
    // element name in any case; otherwise false and null. The base type
    // answers only for the empty name.
    virtual bool IsType(std::wstring_view name, CWynElement*& element);
    // Natural outer size in pixels.
    virtual SIZE Measure() const;
    // The height the element needs at `width`: a wrapping text its wrapped
    // height, a container the height of its grid with its children asked the
    // same at the widths of their cells, anything else its natural height.
    virtual int HeightForWidth(int width) const;
    // Adds to `layout` where the element's own windows go and where its
    // children are placed (and so on down) when the element is placed at
    // `rect`. Changes nothing.
    virtual void CalculateLayout(const Rect& rect, CWynLayout& layout) const;
    // Reads the common attributes, takes a control id and builds the children.
    virtual bool Parse(IXMLDOMNode* node);
    // Loads a description (wyn/description.h) and parses the node at `root_path`.
    virtual bool Load(const wchar_t* source, const wchar_t* root_path, HINSTANCE module);
    virtual void AddChild(std::unique_ptr<CWynElement> child);
    // UpdatePixels, then the children's Create; types with a window create
    // it first.
    virtual void Create();
    // Run on the children of a control after it was clicked or changed.
    virtual void OnOwnerAction(CWynElement* owner);
    // Passes the event up to the parent; 0 (not handled) at the root.
    virtual std::int64_t OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                                 LPARAM second);
    // Whether the element's controls can be read; the parent's answer.
    virtual bool IsLive();
    // The parent's next identifier; 0 at the root.
    virtual int NextControlId();
    // Offered an Alt+key press; asks the children unless hidden.
    virtual bool HandleMenuKey(wchar_t character);
    // The parent's font; the stock default GUI font at the root.
    virtual HFONT GetFont() const;
    virtual LRESULT OnNotify(int code, NMHDR* record);
    virtual LRESULT OnCommand(int code, int control_id, HWND window);
    virtual int GetKind();
    // The own window, else the parent's answer: the parent for child windows.
    virtual HWND GetWindow() const;
    virtual void SetIntValue(int value);
    virtual int GetIntValue();
    virtual void SetTextValue(const wchar_t* text);
    // Owned by the element; null for none.
    virtual const wchar_t* GetTextValue();
    virtual void DoCommand(const wchar_t* command);
    // Shows or hides the own window by IsHidden, then the children's.
    virtual void ApplyVisibility();
    // Enables or disables the own window by IsDisabled, then the children's.
    virtual void ApplyEnabled();
    virtual bool IsDisabled();
    virtual bool IsHidden();
    // Run on every element of a layout once its windows have moved: controls
    // that arrange their own insides (list columns, status bar parts, up-down
    // arrows) follow their new size. Base: nothing.
    virtual void OnLayoutApplied();
    // Asked by the parent's layout for every child after the first: may lower
    // the natural size of the element before it (`previous`, placed in
    // `previous_cell`) so that this one (in `own_cell`) stays inside the
    // parent's `room`; true when it did. Base: no.
    virtual bool LimitPrevious(kelvo::GridChild& previous, const Rect& previous_cell,
                               const Rect& own_cell, const Rect& room) const;
    // Converts the element's dialog-unit values to pixels and measures its
    // texts, at the DPI and in the font of its dialog: run by Create once the
    // element's windows exist and before its children are created, and again
    // over the whole tree when the DPI changes. Types that keep pixel values
    // of their own (measured sizes, item heights, images) make them here.
    // Base: the least sizes given as pixels (96-DPI values), the cell
    // spacing and the largest size.
    virtual void UpdatePixels();
    // The DPI the element is laid out for: its dialog's; at the root, that
    // of its window (96 without one).
    virtual UINT GetDpi() const;
    // Dialog units to pixels: by the dialog's font at its DPI; at the root,
    // by the dialog window that holds the element.
    virtual RECT UnitsToPixels(RECT units) const;

    // The layout of this element placed at `rect` and of everything below it,
    // as a value: calculating it changes nothing.
    CWynLayout Layout(const Rect& rect);
    // Moves the windows of `layout`, one batch per parent window, and stores
    // every element's placed rectangle.
    static void ApplyLayout(const CWynLayout& layout);
    // Layout and ApplyLayout at that rectangle.
    void Arrange(int left, int top, int width, int height);
    // UpdatePixels on this element and then on its children, down the tree.
    void UpdateTreePixels();
    // `value` pixels at 96 DPI, at the element's DPI.
    int Scale(int value) const;
    // A system metric at the element's DPI.
    int Metric(int index) const;

    // Depth-first from this element, children in order; first match wins.
    CWynElement* FindByControlId(int control_id);
    CWynElement* FindByWindow(HWND window);
    // The `id` attribute in any case; an element without one never matches.
    CWynElement* FindById(std::wstring_view id);
    CWynElement* Root();
    CWynElement* PreviousSibling() const;

    // The text-table entry for (locid, name) when the element has a locid and
    // the table has one, else the attribute itself.
    std::optional<std::wstring> GetLocalizedAttribute(IXMLDOMNode* node, const wchar_t* name);

    void SetDisabled(bool disabled);
    void SetHidden(bool hidden);
    // For owners that size an element themselves: that size, and no flex.
    void SetFixedWidth(int width);
    void SetFixedHeight(int height);
    // Gives the keyboard focus to the first tab stop in this subtree that is
    // neither hidden nor disabled.
    bool FocusFirst();
    void NotifyChildren(CWynElement* owner);
    // OnEvent with this element as the source.
    std::int64_t RaiseEvent(std::wstring_view name, WPARAM first = 0, LPARAM second = 0);
    const wchar_t* GetTextValueOr(const wchar_t* fallback);

    CWynElement* Parent() const noexcept { return m_parent; }
    CWynEngine* Engine() const noexcept { return m_engine; }
    int ControlId() const noexcept { return m_controlId; }
    const std::optional<std::wstring>& Id() const noexcept { return m_id; }
    const std::optional<std::wstring>& Tags() const noexcept { return m_tags; }
    HWND Hwnd() const noexcept { return m_hWnd; }
    // Where the last layout placed the element.
    const Rect& Bounds() const noexcept { return m_rect; }
    const std::vector<std::unique_ptr<CWynElement>>& Children() const noexcept {
        return m_children;
    }

protected:
    enum : int { kHorizontal = 0, kVertical = 1 };

    // Answers IsType for a type whose element name is `own`.
    bool AnswerType(std::wstring_view own, std::wstring_view name, CWynElement*& element);
    // Dialog units to pixels with the dialog this element lives in.
    RECT ToPixels(RECT units) const;
    // The grid of the children in `rect`: each child with the height it needs
    // in its cell, the element before a splitter kept inside the room.
    kelvo::GridArrangement ArrangeChildren(const Rect& rect) const;
    // Adds the children at their cells of `arranged` to `layout`.
    void PlaceChildren(const kelvo::GridArrangement& arranged, CWynLayout& layout) const;

    struct Margins {
        int left = 0;
        int right = 0;
        int top = 0;
        int bottom = 0;
    };

    CWynElement* m_parent;
    CWynEngine* m_engine;
    int m_controlId = 0;
    std::optional<std::wstring> m_id;
    std::optional<std::wstring> m_tags;
    // The size attributes as the description gives them: dialog units, unless
    // a type reads them otherwise. 0: none.
    int m_requestedWidth = 0;
    int m_requestedHeight = 0;
    int m_maxWidth = 0; // 0: no limit
    int m_maxHeight = 0;
    int m_minWidth = 0;
    int m_minHeight = 0;
    bool m_hidden = false;
    bool m_disabled = false;
    int m_hFlex = 0;
    int m_vFlex = 0;
    int m_orient = kHorizontal;
    int m_cellSpaceX = -1; // dialog units; -1: the parent's
    int m_cellSpaceY = -1;
    int m_columns = 0;
    int m_rows = 0;
    HWND m_hWnd = nullptr;
    std::optional<std::wstring> m_locid;
    int m_span = 1;
    // Layout leaves the window where its owner put it.
    bool m_fixedPosition = false;
    Margins m_margins; // dialog units
    // What layout reads, in pixels: made in UpdatePixels from the values above.
    // Only the min sizes start at Parse, as the attributes taken as pixels
    // (scaled to the DPI by UpdatePixels); a type that measures its natural
    // size (or reads them in dialog units) replaces them in its UpdatePixels.
    struct Pixels {
        int minWidth = 0; // a leaf's natural size, a container's least size
        int minHeight = 0;
        int maxWidth = 0; // 0: no limit
        int maxHeight = 0;
        int cellSpaceX = 0;
        int cellSpaceY = 0;
        Margins margins;
    };
    Pixels m_pixels;
    Rect m_rect; // where the last layout placed the element
    std::vector<std::unique_ptr<CWynElement>> m_children;

private:
    class ChildSource;

    kelvo::GridContainer Container() const;
    void ParseChildren(IXMLDOMNode* node);
    int Depth() const noexcept;
};

// A calculated layout. Rectangles are pixels in the client coordinates of the
// window an element's windows live in: a nested dialog's children are placed
// in its own client area.
struct CWynLayout {
    struct Placement {
        CWynElement* element = nullptr;
        CWynElement::Rect rect;

        bool operator==(const Placement&) const = default;
    };
    struct Move {
        HWND window = nullptr;
        CWynElement::Rect rect; // in the client coordinates of its parent window
        UINT flags = 0;         // beyond those of every move
    };

    std::vector<Placement> placements; // the element laid out first, then its tree in order
    std::vector<Move> moves;
};
