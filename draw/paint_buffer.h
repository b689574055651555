#pragma once
// The off-screen buffer that every drawn window paints through, the paint
// context that offers GDI and cairo over the same pixels, the buffered
// WM_PAINT that puts them together, and the parent's background under a
// child window.

#include <windows.h>

#include <optional>

#include <cairo.h>

#include "base/unique_any.h"
#include "base/win_handles.h"

namespace kelvo {

// A top-down 32-bit DIB section selected into a memory device context.
class CPaintBuffer {
public:
    CPaintBuffer() = default;
    ~CPaintBuffer() { Release(); }
    CPaintBuffer(const CPaintBuffer&) = delete;
    CPaintBuffer& operator=(const CPaintBuffer&) = delete;

    // Releases what the buffer held and makes a new one of the given size,
    // its pixels all 0. False when either side is below 1 or the system
    // gives no bitmap.
    bool Create(int width, int height);
    void Release() noexcept;

    bool IsValid() const noexcept { return m_bits != nullptr; }
    HDC Dc() const noexcept { return m_dc.Get(); }
    void* Bits() const noexcept { return m_bits; }
    int Width() const noexcept { return m_width; }
    int Height() const noexcept { return m_height; }

    // Copies the whole buffer to `target` with its top-left at (x, y), with
    // one BitBlt, whatever window origin the memory DC has.
    bool CopyTo(HDC target, int x, int y) const;

private:
    UniqueHbitmap m_bitmap;
    HGDIOBJ m_replacedBitmap = nullptr;
    UniqueHdc m_dc;
    void* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

using UniqueCairoSurface = UniqueAny<cairo_surface_t*, cairo_surface_destroy>;
using UniqueCairo = UniqueAny<cairo_t*, cairo_destroy>;

// GDI and cairo over one paint buffer, in the same coordinates: the buffer's
// pixel (0, 0) stands for the point `origin`. GDI and cairo drawing may be
// mixed; each accessor finishes the other side's pending work first.
class CPaintContext {
public:
    CPaintContext(CPaintBuffer& buffer, POINT origin);
    // Destroys the cairo context and surface and puts back the DC's origin.
    ~CPaintContext();
    CPaintContext(const CPaintContext&) = delete;
    CPaintContext& operator=(const CPaintContext&) = delete;

    // Over a buffer that is not valid there is nothing to draw on: the DC and
    // the cairo context are null and the helpers do nothing.
    bool IsValid() const noexcept;
    HDC Dc() const noexcept;
    cairo_t* Cairo() const noexcept;
    // Finishes pending cairo and GDI drawing, so that the bits are complete.
    void Flush() const noexcept;

    // An opaque cairo source of the colour.
    void SetColour(COLORREF colour) const noexcept;
    // A rectangle path inset by half the line width, so that a stroke of
    // that width lies inside `rect`.
    void InsetRectangle(const RECT& rect, double line_width) const noexcept;

    // What the drawing is for: the DPI of the window (96 unless set) and the
    // font of its texts at that DPI (the stock GUI font unless set; the
    // owner keeps it alive).
    void SetScale(UINT dpi, HFONT font) noexcept {
        m_dpi = dpi;
        m_font = font;
    }
    UINT Dpi() const noexcept { return m_dpi; }
    HFONT Font() const noexcept;
    // `value` pixels at 96 DPI, at the context's DPI.
    int Scale(int value) const noexcept;

private:
    CPaintBuffer& m_buffer;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    HFONT m_font = nullptr;
    POINT m_replacedOrigin{};
    bool m_originSet = false;
    UniqueCairoSurface m_surface;
    UniqueCairo m_cairo;
};

// One WM_PAINT through a buffer over the update rectangle: BeginPaint, the
// buffer and its context in client coordinates; on destruction the buffer
// goes to the window with one BitBlt, then everything is released and
// EndPaint runs. Not valid (nothing to draw) when the update rectangle is
// empty or no buffer could be made; the paint still ends properly.
class CBufferedPaint {
public:
    explicit CBufferedPaint(HWND hwnd);
    ~CBufferedPaint();
    CBufferedPaint(const CBufferedPaint&) = delete;
    CBufferedPaint& operator=(const CBufferedPaint&) = delete;

    bool IsValid() const noexcept { return m_context.has_value() && m_context->IsValid(); }
    // Only while valid.
    CPaintContext& Context() noexcept { return *m_context; }
    const RECT& UpdateRect() const noexcept { return m_paint.Info().rcPaint; }

private:
    PaintDc m_paint;
    CPaintBuffer m_buffer;
    std::optional<CPaintContext> m_context; // goes before the buffer it draws on
};

// Answers WM_PAINT with a CBufferedPaint for windows drawn with GDI:
// paint(device context, client rectangle), both in client coordinates. Only
// the update rectangle reaches the window.
template <typename PaintFn> void PaintBuffered(HWND window, PaintFn&& paint) {
    CBufferedPaint buffered(window);
    if (!buffered.IsValid())
        return;
    RECT client{};
    ::GetClientRect(window, &client);
    paint(buffered.Context().Dc(), client);
}

// Lets the parent of `child` erase its background (WM_ERASEBKGND) into `dc`,
// which takes the child's client coordinates: the part of the parent under
// the child lands where the child is, patterns aligned as in the parent.
void PaintParentBackground(HWND child, HDC dc);

} // namespace kelvo
