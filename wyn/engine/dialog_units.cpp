#include "wyn/engine/dialog_units.h"

#include "base/win_handles.h"

namespace kelvo {

DialogBaseUnits MeasureBaseUnits(HFONT font) noexcept {
    WindowDc dc(nullptr);
    if (!dc || !font)
        return {};
    SelectedObject selected(dc.Get(), font);
    TEXTMETRICW metrics{};
    SIZE letters{};
    static constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (!::GetTextMetricsW(dc.Get(), &metrics) ||
        !::GetTextExtentPoint32W(dc.Get(), kLetters, 52, &letters))
        return {};
    // The average of the 52 letters, rounded to the nearest pixel.
    return {(letters.cx / 26 + 1) / 2, metrics.tmHeight};
}

RECT DialogUnitsToPixels(const DialogBaseUnits& base, RECT units) noexcept {
    return {::MulDiv(units.left, base.cx, 4), ::MulDiv(units.top, base.cy, 8),
            ::MulDiv(units.right, base.cx, 4), ::MulDiv(units.bottom, base.cy, 8)};
}

RECT DialogUnitsToPixels(HWND window, RECT units) noexcept {
    // MapDialogRect refuses windows that are not dialogs, such as a control
    // that asks on behalf of its own values.
    for (HWND w = window; w; w = ::GetParent(w)) {
        RECT pixels = units;
        if (::MapDialogRect(w, &pixels))
            return pixels;
    }
    return units;
}

} // namespace kelvo
