#pragma once
// The base of every element of a dialog description. Elements form a tree that
// mirrors the description; each owns its children and its texts, may own one
// child window, and lays its children out in a grid (wyn/layout_grid.h).

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

class CWynElement {
public:
    struct Rect {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

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
    virtual SIZE Measure();
    // Takes the rectangle, moves the own window there and lays the children out in it.
    virtual void Arrange(int left, int top, int width, int height);
    // Reads the common attributes, takes a control id and builds the children.
    virtual bool Parse(IXMLDOMNode* node);
    // Loads a description (wyn/description.h) and parses the node at `rootPath`.
    virtual bool Load(const wchar_t* source, const wchar_t* rootPath, HINSTANCE module);
    virtual void AddChild(std::unique_ptr<CWynElement> child);
    // Converts the dialog-unit values and creates the children's windows;
    // types with a window create it first.
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
    virtual HFONT GetFont();
    virtual LRESULT OnNotify(int code, NMHDR* record);
    virtual LRESULT OnCommand(int code, int controlId, HWND window);
    virtual int GetKind();
    // The own window, else the parent's answer: the parent for child windows.
    virtual HWND GetWindow();
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
    // The width the element's cell will get, told before heights are settled.
    virtual void SetWidthHint(int width);

    // Depth-first from this element, children in order; first match wins.
    CWynElement* FindByControlId(int controlId);
    CWynElement* FindByWindow(HWND window);
    // The `id` attribute in any case; an element without one never matches.
    CWynElement* FindById(std::wstring_view id);
    CWynElement* Root();
    CWynElement* PreviousSibling();

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

    CWynElement* parent() const noexcept { return m_parent; }
    CWynEngine* engine() const noexcept { return m_engine; }
    int control_id() const noexcept { return m_controlId; }
    const std::optional<std::wstring>& id() const noexcept { return m_id; }
    const std::optional<std::wstring>& tags() const noexcept { return m_tags; }
    HWND hwnd() const noexcept { return m_hWnd; }
    // Pixels once laid out.
    const Rect& rect() const noexcept { return m_rect; }
    const std::vector<std::unique_ptr<CWynElement>>& children() const noexcept {
        return m_children;
    }

protected:
    enum : int { kHorizontal = 0, kVertical = 1 };

    // Answers IsType for a type whose element name is `own`.
    bool AnswerType(std::wstring_view own, std::wstring_view name, CWynElement*& element);
    // Dialog units to pixels with the dialog this element lives in.
    RECT ToPixels(RECT units);

    CWynElement* m_parent;
    CWynEngine* m_engine;
    int m_controlId = 0;
    std::optional<std::wstring> m_id;
    std::optional<std::wstring> m_tags;
    Rect m_rect;
    int m_maxWidth = 0; // 0: no limit
    int m_maxHeight = 0;
    int m_minWidth = 0;
    int m_minHeight = 0;
    bool m_hidden = false;
    bool m_disabled = false;
    int m_hFlex = 0;
    int m_vFlex = 0;
    int m_orient = kHorizontal;
    int m_cellSpaceX = -1; // -1: the parent's
    int m_cellSpaceY = -1;
    int m_columns = 0;
    int m_rows = 0;
    HWND m_hWnd = nullptr;
    std::optional<std::wstring> m_locid;
    int m_span = 1;
    // Layout leaves the window where its owner put it.
    bool m_fixedPosition = false;
    struct Margins {
        int left = 0;
        int right = 0;
        int top = 0;
        int bottom = 0;
    };
    Margins m_margins; // pixels, once created
    std::vector<std::unique_ptr<CWynElement>> m_children;

private:
    class ChildSource;

    kelvo::GridContainer Container() const;
    void ParseChildren(IXMLDOMNode* node);
    int Depth() const noexcept;
};
