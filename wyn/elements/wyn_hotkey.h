#pragma once
// "hotkey": an own control that shows and edits one hotkey value (see
// wyn/hotkey_value.h), with a clear square at its right end drawn from the
// `background` skin (three frames: normal, hover, pressed) and the `icon`
// image through the engine's image hooks.

#include <cstdint>
#include <optional>
#include <string>

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynHotkey : public CWynElement {
public:
    CWynHotkey(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // Sets the value and shows it; raises nothing.
    void SetIntValue(int value) override;
    int GetIntValue() override;

    // The text the control shows for a value: "None", or the modifiers
    // ("Ctrl + ", "Shift + ", "Alt + ", "Win + ") and the key's name.
    std::wstring DisplayText(std::uint16_t value) const;
    // The text shown now.
    const std::wstring& Text() const noexcept { return m_text; }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    enum class Square { kNormal = 0, kHover = 1, kPressed = 2 };

    void OnKey(UINT message, LPARAM lParam);
    void OnMouseMove(POINT point);
    void OnButtonDown(POINT point);
    void OnButtonUp(POINT point);
    RECT ClearSquare() const;
    bool InClearSquare(POINT point) const;
    void SetSquare(Square square);
    // New text, caret and picture after the value changed.
    void Refresh();
    void PlaceCaret();
    void Paint(HDC dc, const RECT& client);
    HFONT TextFont();
    void Changed();

    std::uint16_t m_value = 0;
    std::wstring m_text;
    std::optional<std::wstring> m_icon;
    std::optional<std::wstring> m_background;
    Square m_square = Square::kNormal;
    bool m_pressed = false;  // the button went down inside the square
    bool m_tracking = false; // mouse-leave tracking requested
    HFONT m_font = nullptr;  // from WM_SETFONT; not owned
    kelvo::COwnWindow m_ownWindow;
};
