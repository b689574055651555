#pragma once
// "freedraw": an own window whose content the dialog draws. Painting raises
// "freedraw" (device context, pointer to the client rectangle, both in client
// coordinates) over the parent's background; with `doubleBuffered` it is the
// paint buffer's device context, and only the update rectangle reaches the
// window. Size changes raise "size" and the mouse
// raises "mousemove", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup"
// with the message's parameters; a nonzero answer ends the message.

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynFreeDraw : public CWynElement {
public:
    CWynFreeDraw(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Paint(HWND window);

    bool m_doubleBuffered = false;
    kelvo::COwnWindow m_ownWindow;
};
