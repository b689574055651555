#pragma once
// "url": a link drawn in blue over the parent's background, underlined while
// the mouse is over it. A click on the text opens `url` with the shell, or
// raises "clicked" when `url` is ":notify:".

#include <optional>
#include <string>

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynUrl : public CWynElement {
public:
    explicit CWynUrl(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;

    bool Hovering() const noexcept { return m_hover; }
    // The text shown and the address it opens, in place of the description's;
    // before the window is made, so that its size fits the text.
    void SetLink(std::wstring text, std::wstring url);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The text's horizontal extent in client coordinates.
    bool OverText(POINT client);
    void UpdateHover();
    void Paint(HDC dc, const RECT& client);
    void Click();

    std::wstring m_text;
    std::wstring m_url;
    bool m_alignRight = false;
    bool m_hover = false;
    kelvo::COwnWindow m_ownWindow;
};
