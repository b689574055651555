#include "ui/toolbar_paint.h"

#include <algorithm>

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {
namespace {

HFONT GuiFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void AddStop(cairo_pattern_t* gradient, double offset, COLORREF colour) {
    cairo_pattern_add_color_stop_rgb(gradient, offset, GetRValue(colour) / 255.0,
                                     GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
}

// Fills the current path with a vertical gradient over `rect`, keeping the path.
void FillVertical(cairo_t* cr, const RECT& rect, COLORREF top, COLORREF bottom) {
    cairo_pattern_t* gradient =
        cairo_pattern_create_linear(rect.left, rect.top, rect.left, rect.bottom);
    AddStop(gradient, 0, top);
    AddStop(gradient, 1, bottom);
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
    cairo_fill_preserve(cr);
}

// The frame under the "paste" and "paste-to" buttons: highlighted while hot
// or pressed, else a thin frame.
void PaintFrameBackground(const CPaintContext& context, const RECT& rect, ButtonState state) {
    ::SetBkMode(context.Dc(), TRANSPARENT);
    if (state != ButtonState::kNormal) {
        ::FillRect(context.Dc(), &rect, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        ::SetTextColor(context.Dc(), ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        return;
    }
    ::SetTextColor(context.Dc(), ::GetSysColor(COLOR_BTNTEXT));
    cairo_t* cr = context.Cairo();
    context.InsetRectangle(rect, 1);
    cairo_set_line_width(cr, 1);
    context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
    cairo_stroke(cr);
}

} // namespace

int ButtonHeight(HDC dc) {
    const SelectedObject font(dc, GuiFont());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return std::max(40, 2 * static_cast<int>(metrics.tmHeight) + 8);
}

SIZE ToolbarButtonSize(HDC dc) {
    return {40, ButtonHeight(dc)};
}

SIZE PasteButtonSize(HDC dc, std::wstring_view label) {
    const SelectedObject font(dc, GuiFont());
    RECT box{};
    ::DrawTextW(dc, label.data(), static_cast<int>(label.size()), &box,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {40 + (box.right - box.left) + 4, ButtonHeight(dc)};
}

SIZE PasteToButtonSize(HDC dc) {
    const int height = ButtonHeight(dc);
    return {height / 2, height};
}

void PaintToolbarBackground(const CPaintContext& context, const RECT& rect, ButtonState state) {
    cairo_t* cr = context.Cairo();
    if (!cr)
        return;
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    FillVertical(cr, rect, RGB(248, 249, 253), RGB(196, 203, 219));
    cairo_new_path(cr);
    // With the default width of 2 the line's upper half is the last pixel row.
    cairo_move_to(cr, rect.left, rect.bottom);
    cairo_line_to(cr, rect.right, rect.bottom);
    context.SetColour(RGB(181, 190, 206));
    cairo_stroke(cr);
    if (state != ButtonState::kNormal) {
        const double l = rect.left + 1, t = rect.top + 1, r = rect.right - 1, b = rect.bottom - 1;
        cairo_rectangle(cr, l + 0.5, t + 0.5, r - l - 1, b - t - 1);
        FillVertical(cr, rect, RGB(237, 248, 253), RGB(129, 192, 224));
        cairo_set_line_width(cr, 1);
        context.SetColour(RGB(41, 153, 255));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintToolbarButton(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                        ButtonState state, const wchar_t* image, bool disabled) {
    PaintToolbarBackground(context, rect, state);
    const int shift = state == ButtonState::kPressed ? 1 : 0;
    const int x = rect.left + 4 + shift, y = rect.top + 4 + shift;
    if (disabled)
        engine.DrawImageGray(context.Dc(), x, y, 32, 32, image);
    else
        engine.DrawImage(context.Dc(), x, y, 32, 32, image);
}

void PaintToolbarSpacer(HDC dc, const RECT& rect) {
    CPaintBuffer buffer;
    if (!buffer.Create(rect.right - rect.left, rect.bottom - rect.top))
        return;
    {
        const CPaintContext context(buffer, {rect.left, rect.top});
        PaintToolbarBackground(context, rect, ButtonState::kNormal);
        context.Flush();
    }
    buffer.CopyTo(dc, rect.left, rect.top);
}

void PaintPasteButton(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                      ButtonState state, std::wstring_view label, const TargetWindow& target) {
    // One pixel wider, so that the frame joins the "paste-to" button's.
    PaintFrameBackground(context, {rect.left, rect.top, rect.right + 1, rect.bottom}, state);
    HDC dc = context.Dc();
    const int shift = state == ButtonState::kPressed ? 1 : 0;
    const int x = rect.left + 4 + shift, y = rect.top + 4 + shift;
    if (target.icon)
        ::DrawIconEx(dc, x, y, target.icon, 32, 32, 0, nullptr, DI_NORMAL);
    else
        engine.DrawImage(dc, x, y, 32, 32, L"paste.png");
    const SelectedObject font(dc, GuiFont());
    const int middle = rect.top + (rect.bottom - rect.top) / 2;
    RECT label_box{rect.left + 44, rect.top + 4, rect.right - 4,
                   rect.top + 4 + (rect.bottom - rect.top) / 2};
    ::DrawTextW(dc, label.data(), static_cast<int>(label.size()), &label_box,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (target.window && ::IsWindow(target.window)) {
        const std::wstring title = WindowTitle(target.window);
        RECT title_box{rect.left + 44, middle, rect.right - 4, rect.bottom - 4};
        ::DrawTextW(dc, title.data(), static_cast<int>(title.size()), &title_box,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void PaintPasteToButton(const CPaintContext& context, const RECT& rect, ButtonState state) {
    PaintFrameBackground(context, rect, state);
    cairo_t* cr = context.Cairo();
    if (!cr)
        return;
    const int x0 = rect.left + 5;
    const int y = rect.top + (rect.bottom - rect.top) / 2;
    const int w = rect.right - rect.left - 10;
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x0 + w, y);
    cairo_line_to(cr, x0 + w / 2.0, y + w / 2.0);
    cairo_close_path(cr);
    context.SetColour(
        ::GetSysColor(state != ButtonState::kNormal ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    cairo_fill(cr);
}

void PaintClearFindButton(const CPaintContext& context, const RECT& rect, ButtonState state) {
    // One pixel further left, over the find box's right border.
    const RECT wide{rect.left - 1, rect.top, rect.right, rect.bottom};
    HDC dc = context.Dc();
    ::SetBkMode(dc, TRANSPARENT);
    const bool lit = state != ButtonState::kNormal;
    ::FillRect(dc, &wide, ::GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    cairo_t* cr = context.Cairo();
    if (!cr)
        return;
    if (!lit) {
        cairo_rectangle(cr, wide.left + 0.5, rect.top + 0.5, rect.right - wide.left - 1,
                        rect.bottom - rect.top - 1);
        cairo_set_line_width(cr, 1);
        context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
        cairo_stroke(cr);
    }
    context.SetColour(::GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    cairo_set_line_width(cr, 4);
    cairo_move_to(cr, rect.left + 4, rect.top + 4);
    cairo_line_to(cr, rect.right - 4, rect.bottom - 4);
    cairo_stroke(cr);
    cairo_move_to(cr, rect.right - 4, rect.top + 4);
    cairo_line_to(cr, rect.left + 4, rect.bottom - 4);
    cairo_stroke(cr);
}

} // namespace kelvo
