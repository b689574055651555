#pragma once
// The painters of the program's images. Each draws into a cleared ARGB32
// surface of the given size; coordinates are pixels from the top-left.

#include <cairo.h>

namespace kelvo::tools {

// The program's mark: square brackets around lines of text on a blue tile.
void PaintAppMark(cairo_t* cr, int width, int height);

void PaintAllTags(cairo_t* cr, int width, int height);
void PaintTag(cairo_t* cr, int width, int height);
void PaintPadlock(cairo_t* cr, int width, int height);
void PaintAddChunk(cairo_t* cr, int width, int height);
void PaintEditChunk(cairo_t* cr, int width, int height);
void PaintDeleteChunk(cairo_t* cr, int width, int height);
void PaintSettings(cairo_t* cr, int width, int height);
void PaintPaste(cairo_t* cr, int width, int height);

// The clear mark of the hotkey field, drawn square at 16, 20 or 24 pixels.
void PaintClearMark(cairo_t* cr, int width, int height);

// The clear square's background: three frames stacked vertically (normal,
// hover, pressed), each sliced as a skin with 3-pixel margins.
void PaintClearBackground(cairo_t* cr, int width, int height);

void PaintError(cairo_t* cr, int width, int height);
void PaintKey(cairo_t* cr, int width, int height);

} // namespace kelvo::tools
