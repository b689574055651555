#pragma once
// "vsplitter" and "hsplitter": a bar the user drags to resize the element
// just before it (its previous sibling): the vertical splitter changes that
// element's width, the horizontal one its height. The value is that size.
// A size set by code is kept as it is; while the container has less room,
// layout places the element smaller, and the kept size applies again once
// there is room. Only dragging is bounded by the room.

#include <optional>

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynSplitter : public CWynElement {
public:
    enum class Axis { kWidth, kHeight };

    void Create() override;
    void UpdatePixels() override;
    // The kept size once one was set or dragged, else the previous sibling's
    // placed size; 10 when there is no previous sibling.
    int GetIntValue() override;
    // Keeps that size (at least 0) as the previous sibling's fixed size and
    // lays the parent out again.
    void SetIntValue(int value) override;
    // Keeps its own far edge inside the room by placing the previous sibling
    // smaller than the kept size.
    bool LimitPrevious(kelvo::GridChild& previous, const Rect& previous_cell, const Rect& own_cell,
                       const Rect& room) const override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    CWynSplitter(CWynElement* parent, CWynEngine* engine, Axis axis, const wchar_t* class_name);

    // The window procedure of a splitter class whose property is `Property`.
    template <const wchar_t* Property> static WNDPROC Procedure();

private:
    // The previous sibling's placed size; 10 when there is none.
    int PlacedSize() const;
    // The size a drag gives the previous sibling: never below 0, and never so
    // large that the splitter leaves its container.
    int Bounded(int size) const;
    void Resize(int size);
    // The cursor position of a mouse message along the axis, on the screen.
    int Along(HWND window, LPARAM client_point) const;

    Axis m_axis;
    std::optional<int> m_kept; // the size set or dragged
    UINT m_keptDpi = 0;        // the DPI m_kept is in
    const wchar_t* m_className;
    bool m_dragging = false;
    int m_dragStart = 0; // cursor position along the axis, screen coordinates
    int m_startSize = 0; // the previous sibling's size when the drag began
    kelvo::COwnWindow m_ownWindow;
};

class CWynVSplitter final : public CWynSplitter {
public:
    CWynVSplitter(CWynElement* parent, CWynEngine* engine);
    bool IsType(std::wstring_view name, CWynElement*& element) override;
};

class CWynHSplitter final : public CWynSplitter {
public:
    CWynHSplitter(CWynElement* parent, CWynEngine* engine);
    bool IsType(std::wstring_view name, CWynElement*& element) override;
};
