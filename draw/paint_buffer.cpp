#include "draw/paint_buffer.h"

namespace kelvo {

bool CPaintBuffer::Create(int width, int height) {
    Release();
    if (width < 1 || height < 1)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows, as cairo reads them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    UniqueHdc dc(::CreateCompatibleDC(nullptr));
    if (!dc)
        return false;
    void* bits = nullptr;
    UniqueHbitmap bitmap(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return false;
    m_replacedBitmap = ::SelectObject(dc.Get(), bitmap.Get());
    m_bitmap = std::move(bitmap);
    m_dc = std::move(dc);
    m_bits = bits;
    m_width = width;
    m_height = height;
    return true;
}

void CPaintBuffer::Release() noexcept {
    if (m_dc && m_replacedBitmap)
        ::SelectObject(m_dc.Get(), m_replacedBitmap);
    m_replacedBitmap = nullptr;
    m_bitmap.Reset();
    m_dc.Reset();
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

bool CPaintBuffer::CopyTo(HDC target, int x, int y) const {
    POINT origin{};
    if (!IsValid() || !::GetWindowOrgEx(m_dc.Get(), &origin))
        return false;
    return ::BitBlt(target, x, y, m_width, m_height, m_dc.Get(), origin.x, origin.y, SRCCOPY) !=
           FALSE;
}

CPaintContext::CPaintContext(CPaintBuffer& buffer, POINT origin) : m_buffer(buffer) {
    if (!buffer.IsValid())
        return;
    m_originSet = ::SetWindowOrgEx(buffer.Dc(), origin.x, origin.y, &m_replacedOrigin) != FALSE;
    m_surface.Reset(cairo_image_surface_create_for_data(static_cast<unsigned char*>(buffer.Bits()),
                                                        CAIRO_FORMAT_ARGB32, buffer.Width(),
                                                        buffer.Height(), buffer.Width() * 4));
    m_cairo.Reset(cairo_create(m_surface.Get()));
    if (origin.x != 0 || origin.y != 0)
        cairo_translate(m_cairo.Get(), -origin.x, -origin.y);
}

CPaintContext::~CPaintContext() {
    m_cairo.Reset();
    m_surface.Reset();
    if (m_originSet)
        ::SetWindowOrgEx(m_buffer.Dc(), m_replacedOrigin.x, m_replacedOrigin.y, nullptr);
}

bool CPaintContext::IsValid() const noexcept {
    return m_buffer.IsValid() && m_cairo && cairo_status(m_cairo.Get()) == CAIRO_STATUS_SUCCESS;
}

HDC CPaintContext::Dc() const noexcept {
    if (m_surface)
        cairo_surface_flush(m_surface.Get());
    return m_buffer.Dc();
}

void CPaintContext::Flush() const noexcept {
    if (m_surface)
        cairo_surface_flush(m_surface.Get());
    ::GdiFlush();
}

cairo_t* CPaintContext::Cairo() const noexcept {
    // GDI may still hold drawing in its batch; it must reach the bits first.
    ::GdiFlush();
    return m_cairo.Get();
}

void CPaintContext::SetColour(COLORREF colour) const noexcept {
    if (!m_cairo)
        return;
    cairo_set_source_rgba(m_cairo.Get(), GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                          GetBValue(colour) / 255.0, 1.0);
}

HFONT CPaintContext::Font() const noexcept {
    return m_font ? m_font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int CPaintContext::Scale(int value) const noexcept {
    return ::MulDiv(value, static_cast<int>(m_dpi), USER_DEFAULT_SCREEN_DPI);
}

void CPaintContext::InsetRectangle(const RECT& rect, double line_width) const noexcept {
    if (!m_cairo)
        return;
    cairo_rectangle(m_cairo.Get(), rect.left + line_width / 2, rect.top + line_width / 2,
                    rect.right - rect.left - line_width, rect.bottom - rect.top - line_width);
}

CBufferedPaint::CBufferedPaint(HWND hwnd) : m_paint(hwnd) {
    if (!m_paint)
        return;
    const RECT& update = m_paint.Info().rcPaint;
    if (m_buffer.Create(update.right - update.left, update.bottom - update.top))
        m_context.emplace(m_buffer, POINT{update.left, update.top});
}

CBufferedPaint::~CBufferedPaint() {
    if (IsValid()) {
        m_context->Flush();
        m_buffer.CopyTo(m_paint.Get(), UpdateRect().left, UpdateRect().top);
    }
    // Then the cairo objects, the buffer and the paint go, in that order,
    // as the members are destroyed.
}

void PaintParentBackground(HWND child, HDC dc) {
    HWND parent = ::GetParent(child);
    if (!parent)
        return;
    POINT offset{0, 0};
    ::MapWindowPoints(child, parent, &offset, 1);
    POINT viewport{};
    ::OffsetViewportOrgEx(dc, -offset.x, -offset.y, &viewport);
    // The parent's client origin, in device pixels, is where its brushes start.
    POINT parent_origin{0, 0};
    ::LPtoDP(dc, &parent_origin, 1);
    POINT brush{};
    ::SetBrushOrgEx(dc, parent_origin.x, parent_origin.y, &brush);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SetBrushOrgEx(dc, brush.x, brush.y, nullptr);
    ::SetViewportOrgEx(dc, viewport.x, viewport.y, nullptr);
}

} // namespace kelvo
