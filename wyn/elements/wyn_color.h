#pragma once
// "color": a button that shows a colour and, when pressed, opens a palette
// (the companion CWynColorPicker) with the basic colours, "None" when
// `enableNone` is set, and "More colours..." for the system's colour dialog.
// The value is the colour (COLORREF), or -1 for none; a choice raises "changed".

#include <optional>

#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynColor : public CWynElement {
public:
    static constexpr int kNone = -1;

    CWynColor(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    // A colour, or -1 for none when the element allows none; shown, no event.
    void SetIntValue(int value) override;
    int GetIntValue() override;

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Pick();
    void Paint(HDC dc, const RECT& client);

    bool m_enableNone = false;
    int m_colour = 0;
    bool m_pressed = false;
    kelvo::COwnWindow m_ownWindow;
};

// The palette popup. Pick runs it until a choice, Escape or a click outside.
class CWynColorPicker {
public:
    CWynColorPicker(CWynEngine& engine, bool enable_none);
    CWynColorPicker(const CWynColorPicker&) = delete;
    CWynColorPicker& operator=(const CWynColorPicker&) = delete;

    // The colour chosen (CWynColor::kNone for none); nothing when dismissed.
    std::optional<int> Pick(HWND owner, POINT at, int current);

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Cells: the basic colours, then "None" (if allowed), then "More colours...".
    int CellCount() const;
    RECT CellRect(int cell) const;
    int CellAt(POINT point) const;
    void Choose(int cell);
    void Paint(HDC dc, const RECT& client);
    SIZE Size() const;

    CWynEngine& m_engine;
    bool m_enableNone;
    kelvo::COwnWindow m_window; // while Pick runs
    HWND m_owner = nullptr;
    int m_current = 0;
    int m_hot = -1;
    bool m_done = false;
    std::optional<int> m_result;
};
