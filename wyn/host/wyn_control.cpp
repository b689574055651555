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
    if (!parent && element.Parent())
        parent = element.Parent()->GetWindow();
    const int id = control.controlId.value_or(element.ControlId());
    const auto& r = element.Bounds();
    HWND window = ::CreateWindowExW(control.exStyle, control.windowClass, control.text, style,
                                    r.left, r.top, r.width, r.height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    element.Engine()->Module(), control.createParam);
    if (window)
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(element.GetFont()), FALSE);
    return window;
}

SIZE MeasureText(const CWynElement& element, const wchar_t* text, int wrap_width) {
    WindowDc dc(element.GetWindow());
    if (!dc)
        return {};
    SelectedObject font(dc.Get(), element.GetFont());
    RECT r{0, 0, wrap_width > 0 ? wrap_width : 3, 3};
    UINT format = DT_CALCRECT | DT_EDITCONTROL;
    if (wrap_width > 0)
        format |= DT_WORDBREAK;
    ::DrawTextW(dc.Get(), text ? text : L"W", -1, &r, format);
    return {r.right - r.left, r.bottom - r.top};
}

} // namespace kelvo
