#pragma once
// The main window's drawn buttons: their natural sizes and their painting —
// the toolbar's gradient with its hot and pressed look, the spacer that
// carries the gradient between the buttons, the "paste" button with the
// paste target's icon and title, the "paste-to" triangle and the cross that
// clears the find box.

#include <windows.h>

#include <string_view>

#include "draw/paint_buffer.h"
#include "paste/target_window.h"
#include "ui/custom_button.h"

class CWynEngine;

namespace kelvo {

using ButtonState = CWynCustomButton::State;

// Sizes are pixels at `dpi`, with the texts in `font` (the dialog's font at
// that DPI); the numbers below are the 96-DPI values, scaled.

// The height of every toolbar and paste button: two lines of `font` on `dc`
// and 8 pixels, at least 40.
int ButtonHeight(HDC dc, HFONT font, UINT dpi);
// 40 wide.
SIZE ToolbarButtonSize(HDC dc, HFONT font, UINT dpi);
// The icon's 40 pixels, the label's width, and 4.
SIZE PasteButtonSize(HDC dc, HFONT font, UINT dpi, std::wstring_view label);
// Half as wide as it is high.
SIZE PasteToButtonSize(HDC dc, HFONT font, UINT dpi);

// The painters draw at the context's DPI, texts in its font.

void PaintToolbarBackground(const CPaintContext& context, const RECT& rect, ButtonState state);
// The background, then the 32-pixel image, moved by a pixel while pressed;
// greyed while the button is disabled.
void PaintToolbarButton(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                        ButtonState state, const wchar_t* image, bool disabled);
// The toolbar's background in a buffer of its own, copied at once, so that
// the gradient between the buttons never flickers.
void PaintToolbarSpacer(HDC dc, const RECT& rect, UINT dpi);

// The target's icon ("paste.png" without one), the label and, while the
// target is a window, its title as it reads now.
void PaintPasteButton(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                      ButtonState state, std::wstring_view label, const TargetWindow& target);
void PaintPasteToButton(const CPaintContext& context, const RECT& rect, ButtonState state);
void PaintClearFindButton(const CPaintContext& context, const RECT& rect, ButtonState state);

} // namespace kelvo
