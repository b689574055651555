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
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    if (!dc)
        return false;
    void* bits = nullptr;
    unique_hbitmap bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return false;
    replaced_bitmap_ = ::SelectObject(dc.get(), bitmap.get());
    bitmap_ = std::move(bitmap);
    dc_ = std::move(dc);
    bits_ = bits;
    width_ = width;
    height_ = height;
    return true;
}

void CPaintBuffer::Release() noexcept {
    if (dc_ && replaced_bitmap_)
        ::SelectObject(dc_.get(), replaced_bitmap_);
    replaced_bitmap_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    bits_ = nullptr;
    width_ = 0;
    height_ = 0;
}

bool CPaintBuffer::CopyTo(HDC target, int x, int y) const {
    POINT origin{};
    if (!IsValid() || !::GetWindowOrgEx(dc_.get(), &origin))
        return false;
    return ::BitBlt(target, x, y, width_, height_, dc_.get(), origin.x, origin.y, SRCCOPY) != FALSE;
}

CPaintContext::CPaintContext(CPaintBuffer& buffer, POINT origin) : buffer_(buffer) {
    if (!buffer.IsValid())
        return;
    origin_set_ = ::SetWindowOrgEx(buffer.Dc(), origin.x, origin.y, &replaced_origin_) != FALSE;
    surface_.reset(cairo_image_surface_create_for_data(static_cast<unsigned char*>(buffer.Bits()),
                                                       CAIRO_FORMAT_ARGB32, buffer.Width(),
                                                       buffer.Height(), buffer.Width() * 4));
    cairo_.reset(cairo_create(surface_.get()));
    if (origin.x != 0 || origin.y != 0)
        cairo_translate(cairo_.get(), -origin.x, -origin.y);
}

CPaintContext::~CPaintContext() {
    cairo_.reset();
    surface_.reset();
    if (origin_set_)
        ::SetWindowOrgEx(buffer_.Dc(), replaced_origin_.x, replaced_origin_.y, nullptr);
}

bool CPaintContext::IsValid() const noexcept {
    return buffer_.IsValid() && cairo_ && cairo_status(cairo_.get()) == CAIRO_STATUS_SUCCESS;
}

HDC CPaintContext::Dc() const noexcept {
    if (surface_)
        cairo_surface_flush(surface_.get());
    return buffer_.Dc();
}

void CPaintContext::Flush() const noexcept {
    if (surface_)
        cairo_surface_flush(surface_.get());
    ::GdiFlush();
}

cairo_t* CPaintContext::Cairo() const noexcept {
    // GDI may still hold drawing in its batch; it must reach the bits first.
    ::GdiFlush();
    return cairo_.get();
}

void CPaintContext::SetColour(COLORREF colour) const noexcept {
    if (!cairo_)
        return;
    cairo_set_source_rgba(cairo_.get(), GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                          GetBValue(colour) / 255.0, 1.0);
}

void CPaintContext::InsetRectangle(const RECT& rect, double line_width) const noexcept {
    if (!cairo_)
        return;
    cairo_rectangle(cairo_.get(), rect.left + line_width / 2, rect.top + line_width / 2,
                    rect.right - rect.left - line_width, rect.bottom - rect.top - line_width);
}

CBufferedPaint::CBufferedPaint(HWND hwnd) : paint_(hwnd) {
    if (!paint_)
        return;
    const RECT& update = paint_.info().rcPaint;
    if (buffer_.Create(update.right - update.left, update.bottom - update.top))
        context_.emplace(buffer_, POINT{update.left, update.top});
}

CBufferedPaint::~CBufferedPaint() {
    if (IsValid()) {
        context_->Flush();
        buffer_.CopyTo(paint_.get(), UpdateRect().left, UpdateRect().top);
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
