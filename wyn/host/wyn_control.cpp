#include "wyn/host/wyn_control.h"

#include "base/win_handles.h"
#include "wyn/engine/wyn_element.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {

HWND CreateControlWindow(CWynElement& element, const ControlWindow& control) {
    DWORD style = WS_CHILD | control.style;
    if (!element.IsHidden())
        style |= WS_VISIBLE;
    if (element.IsDisabled())
        style |= WS_DISABLED;
    HWND parent = control.parent;
    if (!parent && element.parent())
        parent = element.parent()->GetWindow();
    const int id = control.controlId.value_or(element.control_id());
    const auto& r = element.rect();
    HWND window = ::CreateWindowExW(control.exStyle, control.windowClass, control.text, style,
                                    r.left, r.top, r.width, r.height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    element.engine()->module(), control.createParam);
    if (window)
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(element.GetFont()), FALSE);
    return window;
}

SIZE MeasureText(const CWynElement& element, const wchar_t* text, int wrapWidth) {
    window_dc dc(element.GetWindow());
    if (!dc)
        return {};
    select_object font(dc.get(), element.GetFont());
    RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 3, 3};
    UINT format = DT_CALCRECT | DT_EDITCONTROL;
    if (wrapWidth > 0)
        format |= DT_WORDBREAK;
    ::DrawTextW(dc.get(), text ? text : L"W", -1, &r, format);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace kelvo
