#pragma once
// "vsplitter" and "hsplitter": a bar the user drags to resize the element
// just before it (its previous sibling): the vertical splitter changes that
// element's width, the horizontal one its height. The value is that size.

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynSplitter : public CWynElement {
public:
    enum class Axis { Width, Height };

    void Create() override;
    // The previous sibling's placed size; 10 when there is none.
    int GetIntValue() override;
    // Gives the previous sibling that fixed size and lays the parent out again.
    void SetIntValue(int value) override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    CWynSplitter(CWynElement* parent, CWynEngine* engine, Axis axis, const wchar_t* className);

    // The window procedure of a splitter class whose property is `Property`.
    template <const wchar_t* Property> static WNDPROC Procedure();

private:
    // The size the previous sibling gets: never below 0, and never so large
    // that the splitter leaves its container.
    int Bounded(int size);
    void Resize(int size);
    // The cursor position of a mouse message along the axis, on the screen.
    int Along(HWND window, LPARAM clientPoint) const;

    Axis m_axis;
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
