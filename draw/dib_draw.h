#pragma once
// Drawing pictures with GDI: a DIB section per draw, blended with
// AlphaBlend (the pixels are premultiplied, as AlphaBlend wants them).

#include <windows.h>

#include "base/win_handles.h"
#include "draw/vt_dib.h"
#include "draw/vt_skin_dib.h"

namespace kelvo {

// Loads the PNG held in a resource that the caller has found. On failure
// returns false and keeps the picture.
bool LoadFromResource(CVtDIB& image, HMODULE module, HRSRC resource);

// A bottom-up 32-bit DIB section with a copy of the pixels; null for an
// empty picture. Made on the screen's device context when `dc` is null.
UniqueHbitmap ToDIBSection(const CVtDIB& image, HDC dc = nullptr);

// Draws the picture with its top-left at (x, y), blended per pixel and with
// the picture's opacity. A width or height below 0 means the picture's own;
// another size draws a copy resized to it (area averaging when both sides
// shrink, bilinear otherwise). Draws nothing and answers false for an empty
// picture or a width or height of 0.
bool Draw(const CVtDIB& image, HDC dc, int x, int y, int width = -1, int height = -1);

// Repeats the picture over `rect` from its top-left, the copies cut at the
// right and bottom edges and to `clip` when one is given; copies are drawn
// at full opacity whatever the picture's own.
void Tile(const CVtDIB& image, HDC dc, const RECT& rect, const RECT* clip = nullptr);

// Draws the nine parts of the skin into `rect`; with a clip, parts whose
// area misses it are skipped and the others drawn whole.
void Draw(const CVtSkinDIB& skin, HDC dc, const RECT& rect, const RECT* clip = nullptr);

} // namespace kelvo
