#pragma once
// "custombutton": a button the dialog draws itself. It follows the mouse
// (normal, hot, pressed), holds the mouse while pressed and reports a click;
// it takes no part in keyboard navigation.
//
// The owner is asked through events (first, second parameter):
//   "custombtn-getsize"  SIZE* (0, 0 on entry), 0; once, when the window is
//                        made: the natural size in pixels
//   "custombtn-paint"    kelvo::CPaintContext*, PaintRecord*; every paint,
//                        over the parent's background
// and told through "clicked" (0, 0): the left button went down on the button
// and came up over it, or a screen reader pressed it.
//
// Screen readers see a push button named by the window's text or, without
// one, by the text of a tooltip that has the button's window as its tool.

#include "base/window_binding.h"
#include "ui/drawn_accessible.h"
#include "wyn/engine/wyn_element.h"

class CWynCustomButton : public CWynElement, private kelvo::AccessibleSource {
public:
    enum class State : int { kNormal = 0, kHot = 1, kPressed = 2 };
    struct PaintRecord {
        RECT client;
        State state;
    };

    CWynCustomButton(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    void Create() override;
    void UpdatePixels() override;
    // Disabled, the button leaves any hot or pressed look; either way it is
    // painted again, so that the owner can show it.
    void ApplyEnabled() override;

    State CurrentState() const noexcept { return m_state; }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void SetState(State state);
    void TrackLeave(HWND window, bool track);
    void OnButtonUp(HWND window, LPARAM lParam);
    void Click();
    void Paint(HWND window);

    long AccRole() const override;
    bool AccName(std::wstring& name) override;
    const wchar_t* AccDefaultAction(long index) const override;
    bool AccDoDefaultAction(long index) override;

    State m_state = State::kNormal;
    bool m_tracking = false; // mouse-leave tracking requested
    bool m_pressed = false;  // the left button went down here and the mouse is held
    kelvo::CAccessibility m_accessibility{*this};
    kelvo::COwnWindow m_ownWindow;
};
