#include "draw/dib_draw.h"

#include <cstring>

#include "draw/tile_layout.h"

namespace kelvo {

namespace {

PixelRect ToPixelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// A picture's DIB section selected into a memory DC, ready to blend from.
class BlendSource {
public:
    explicit BlendSource(const CVtDIB& image)
        : m_bitmap(ToDIBSection(image)), m_dc(::CreateCompatibleDC(nullptr)),
          m_selection(m_dc.Get(), m_bitmap.Get()) {}

    bool IsReady() const noexcept { return m_bitmap && m_dc; }

    bool Blend(HDC dest, const PixelRect& to, int source_x, int source_y, BYTE alpha) const {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
        return ::AlphaBlend(dest, to.left, to.top, to.Width(), to.Height(), m_dc.Get(), source_x,
                            source_y, to.Width(), to.Height(), blend) != FALSE;
    }

private:
    UniqueHbitmap m_bitmap;
    UniqueHdc m_dc;
    SelectedObject m_selection; // released first, before the DC and the bitmap
};

bool DrawNatural(const CVtDIB& image, HDC dc, int x, int y) {
    BlendSource source(image);
    return source.IsReady() &&
           source.Blend(dc, {x, y, x + image.Width(), y + image.Height()}, 0, 0, image.Opacity());
}

} // namespace

bool LoadFromResource(CVtDIB& image, HMODULE module, HRSRC resource) {
    if (!resource)
        return false;
    HGLOBAL data = ::LoadResource(module, resource);
    const void* bytes = data ? ::LockResource(data) : nullptr;
    return bytes && image.LoadFromMemory(bytes, ::SizeofResource(module, resource));
}

UniqueHbitmap ToDIBSection(const CVtDIB& image, HDC dc) {
    if (image.IsEmpty())
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.Width();
    info.bmiHeader.biHeight = image.Height(); // positive: bottom-up, as the pixels are held
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    void* bits = nullptr;
    UniqueHbitmap bitmap(
        ::CreateDIBSection(dc ? dc : screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return {};
    std::memcpy(bits, image.Pixels().data(), image.Pixels().size_bytes());
    return bitmap;
}

bool Draw(const CVtDIB& image, HDC dc, int x, int y, int width, int height) {
    if (image.IsEmpty() || width == 0 || height == 0)
        return false;
    // Only one side asked for: the other keeps the picture's own size.
    const int w = width < 0 ? image.Width() : width;
    const int h = height < 0 ? image.Height() : height;
    if (w == image.Width() && h == image.Height())
        return DrawNatural(image, dc, x, y);
    CVtDIB resized;
    return image.Resize(w, h, resized) && DrawNatural(resized, dc, x, y);
}

void Tile(const CVtDIB& image, HDC dc, const RECT& rect, const RECT* clip) {
    if (image.IsEmpty())
        return;
    BlendSource source(image);
    if (!source.IsReady())
        return;
    const PixelRect clip_rect = clip ? ToPixelRect(*clip) : PixelRect{};
    ForEachTileCopy(image.Width(), image.Height(), ToPixelRect(rect), clip ? &clip_rect : nullptr,
                    [&](const TileCopy& copy) {
                        source.Blend(dc, copy.dest, copy.source_x, copy.source_y, 255);
                    });
}

void Draw(const CVtSkinDIB& skin, HDC dc, const RECT& rect, const RECT* clip) {
    const PixelRect clip_rect = clip ? ToPixelRect(*clip) : PixelRect{};
    for (const SkinStep& step : skin.Layout(ToPixelRect(rect), clip ? &clip_rect : nullptr)) {
        const CVtDIB& part = skin.Part(step.part);
        const PixelRect& area = step.area;
        switch (step.mode) {
        case SkinStep::Mode::kNatural:
            Draw(part, dc, area.left, area.top);
            break;
        case SkinStep::Mode::kStretch:
            Draw(part, dc, area.left, area.top, area.Width(), area.Height());
            break;
        case SkinStep::Mode::kTile: {
            const RECT to{area.left, area.top, area.right, area.bottom};
            CVtDIB resized;
            if (step.tile_width == 0)
                Tile(part, dc, to);
            else if (part.Resize(step.tile_width, step.tile_height, resized))
                Tile(resized, dc, to);
            break;
        }
        }
    }
}

} // namespace kelvo
