#include "tools/wynview/window_capture.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#include "base/win_handles.h"

namespace kelvo {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

} // namespace

bool CaptureWindowToPng(HWND window, const wchar_t* path) {
    RECT r{};
    if (!::GetWindowRect(window, &r))
        return false;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows, as the PNG stores them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueHdc memory(::CreateCompatibleDC(nullptr));
    if (!bitmap || !memory || !bits)
        return false;
    {
        SelectedObject selected(memory.Get(), bitmap.Get());
        HDC source = ::GetWindowDC(window);
        if (!source)
            return false;
        const BOOL copied = ::BitBlt(memory.Get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::ReleaseDC(window, source);
        if (!copied)
            return false;
    }
    ::GdiFlush();
    // The screen has no alpha: every pixel is opaque.
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i)
        pixels[i] |= 0xFF000000u;

    std::unique_ptr<std::FILE, FileCloser> file(::_wfopen(path, L"wb"));
    if (!file)
        return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    const bool written = png_image_write_to_stdio(&image, file.get(), 0, bits, 0, nullptr) != 0;
    png_image_free(&image);
    return written && std::fflush(file.get()) == 0;
}

} // namespace kelvo
