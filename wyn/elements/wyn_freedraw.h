#pragma once
// "freedraw": an own window whose content the dialog draws. Painting raises
// "freedraw" (device context, pointer to the rectangle to fill) over the
// parent's background; with `doubleBuffered` the device context is an
// off-screen copy, copied to the window afterwards. Size changes raise "size" and the mouse
// raises "mousemove", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup"
// with the message's parameters; a nonzero answer ends the message.

#include "wyn/engine/wyn_element.h"

class CWynFreeDraw : public CWynElement {
public:
    CWynFreeDraw(CWynElement* parent, CWynEngine* engine);
    ~CWynFreeDraw() override;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Paint(HWND window);

    bool m_doubleBuffered = false;
};
