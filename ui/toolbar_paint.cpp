#include "ui/toolbar_paint.h"

#include <algorithm>

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {
namespace {

int Scaled(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
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
    const int line = context.Scale(1);
    context.InsetRectangle(rect, line);
    cairo_set_line_width(cr, line);
    context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
    cairo_stroke(cr);
}

} // namespace

int ButtonHeight(HDC dc, HFONT font, UINT dpi) {
    const SelectedObject selected(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return std::max(Scaled(40, dpi), 2 * static_cast<int>(metrics.tmHeight) + Scaled(8, dpi));
}

SIZE ToolbarButtonSize(HDC dc, HFONT font, UINT dpi) {
    return {Scaled(40, dpi), ButtonHeight(dc, font, dpi)};
}

SIZE PasteButtonSize(HDC dc, HFONT font, UINT dpi, std::wstring_view label) {
    const SelectedObject selected(dc, font);
    RECT box{};
    ::DrawTextW(dc, label.data(), static_cast<int>(label.size()), &box,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return {Scaled(44, dpi) + (box.right - box.left), ButtonHeight(dc, font, dpi)};
}

SIZE PasteToButtonSize(HDC dc, HFONT font, UINT dpi) {
    const int height = ButtonHeight(dc, font, dpi);
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
    // A line twice as wide as the bottom edge's: its upper half is the last
    // rows of pixels.
    const int line = context.Scale(1);
    cairo_set_line_width(cr, 2 * line);
    cairo_move_to(cr, rect.left, rect.bottom);
    cairo_line_to(cr, rect.right, rect.bottom);
    context.SetColour(RGB(181, 190, 206));
    cairo_stroke(cr);
    if (state != ButtonState::kNormal) {
        const RECT inner{rect.left + line, rect.top + line, rect.right - line, rect.bottom - line};
        context.InsetRectangle(inner, line);
        FillVertical(cr, rect, RGB(237, 248, 253), RGB(129, 192, 224));
        cairo_set_line_width(cr, line);
        context.SetColour(RGB(41, 153, 255));
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void PaintToolbarButton(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                        ButtonState state, const wchar_t* image, bool disabled) {
    PaintToolbarBackground(context, rect, state);
    const int shift = state == ButtonState::kPressed ? context.Scale(1) : 0;
    const int x = rect.left + context.Scale(4) + shift, y = rect.top + context.Scale(4) + shift;
    const int side = context.Scale(32);
    if (disabled)
        engine.DrawImageGray(context.Dc(), x, y, side, side, image);
    else
        engine.DrawImage(context.Dc(), x, y, side, side, image);
}

void PaintToolbarSpacer(HDC dc, const RECT& rect, UINT dpi) {
    CPaintBuffer buffer;
    if (!buffer.Create(rect.right - rect.left, rect.bottom - rect.top))
        return;
    {
        CPaintContext context(buffer, {rect.left, rect.top});
        context.SetScale(dpi, nullptr);
        PaintToolbarBackground(context, rect, ButtonState::kNormal);
        context.Flush();
    }
    buffer.CopyTo(dc, rect.left, rect.top);
}

void PaintPasteButton(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                      ButtonState state, std::wstring_view label, const TargetWindow& target) {
    // One line wider, so that the frame joins the "paste-to" button's.
    PaintFrameBackground(context, {rect.left, rect.top, rect.right + context.Scale(1), rect.bottom},
                         state);
    HDC dc = context.Dc();
    const int pad = context.Scale(4);
    const int shift = state == ButtonState::kPressed ? context.Scale(1) : 0;
    const int x = rect.left + pad + shift, y = rect.top + pad + shift;
    const int side = context.Scale(32);
    if (target.icon)
        ::DrawIconEx(dc, x, y, target.icon, side, side, 0, nullptr, DI_NORMAL);
    else
        engine.DrawImage(dc, x, y, side, side, L"paste.png");
    const SelectedObject font(dc, context.Font());
    const int middle = rect.top + (rect.bottom - rect.top) / 2;
    const int text_left = rect.left + context.Scale(44);
    RECT label_box{text_left, rect.top + pad, rect.right - pad,
                   rect.top + pad + (rect.bottom - rect.top) / 2};
    ::DrawTextW(dc, label.data(), static_cast<int>(label.size()), &label_box,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (target.window && ::IsWindow(target.window)) {
        const std::wstring title = WindowTitle(target.window);
        RECT title_box{text_left, middle, rect.right - pad, rect.bottom - pad};
        ::DrawTextW(dc, title.data(), static_cast<int>(title.size()), &title_box,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void PaintPasteToButton(const CPaintContext& context, const RECT& rect, ButtonState state) {
    PaintFrameBackground(context, rect, state);
    cairo_t* cr = context.Cairo();
    if (!cr)
        return;
    const int x0 = rect.left + context.Scale(5);
    const int y = rect.top + (rect.bottom - rect.top) / 2;
    const int w = rect.right - rect.left - 2 * context.Scale(5);
    cairo_move_to(cr, x0, y);
    cairo_line_to(cr, x0 + w, y);
    cairo_line_to(cr, x0 + w / 2.0, y + w / 2.0);
    cairo_close_path(cr);
    context.SetColour(
        ::GetSysColor(state != ButtonState::kNormal ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    cairo_fill(cr);
}

void PaintClearFindButton(const CPaintContext& context, const RECT& rect, ButtonState state) {
    // One line further left, over the find box's right border.
    const int line = context.Scale(1);
    const RECT wide{rect.left - line, rect.top, rect.right, rect.bottom};
    HDC dc = context.Dc();
    ::SetBkMode(dc, TRANSPARENT);
    const bool lit = state != ButtonState::kNormal;
    ::FillRect(dc, &wide, ::GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    cairo_t* cr = context.Cairo();
    if (!cr)
        return;
    if (!lit) {
        context.InsetRectangle(wide, line);
        cairo_set_line_width(cr, line);
        context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
        cairo_stroke(cr);
    }
    context.SetColour(::GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int pad = context.Scale(4);
    cairo_set_line_width(cr, pad);
    cairo_move_to(cr, rect.left + pad, rect.top + pad);
    cairo_line_to(cr, rect.right - pad, rect.bottom - pad);
    cairo_stroke(cr);
    cairo_move_to(cr, rect.right - pad, rect.top + pad);
    cairo_line_to(cr, rect.left + pad, rect.bottom - pad);
    cairo_stroke(cr);
}

} // namespace kelvo
