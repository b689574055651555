#pragma once
// Painting without flicker: a memory DC with a bitmap compatible to the
// target, and the parent's background painted under a child window.

#include <windows.h>

#include <optional>

#include "base/win_handles.h"

namespace kelvo {

class COffscreenDC {
public:
    COffscreenDC(HDC target, int width, int height);
    COffscreenDC(const COffscreenDC&) = delete;
    COffscreenDC& operator=(const COffscreenDC&) = delete;

    explicit operator bool() const noexcept { return m_select.has_value(); }
    HDC get() const noexcept { return m_dc.get(); }
    // The whole bitmap to `target` at (0, 0).
    void CopyTo(HDC target) const;

private:
    unique_hbitmap m_bitmap;
    unique_hdc m_dc;
    std::optional<select_object> m_select; // goes first, before the DC and the bitmap
    int m_width;
    int m_height;
};

// Answers WM_PAINT through an off-screen buffer of the client size:
// paint(buffer DC, client rectangle), then one copy to the window.
template <typename PaintFn> void PaintBuffered(HWND window, PaintFn&& paint) {
    paint_dc dc(window);
    RECT client{};
    ::GetClientRect(window, &client);
    COffscreenDC buffer(dc.get(), client.right, client.bottom);
    if (buffer) {
        paint(buffer.get(), client);
        buffer.CopyTo(dc.get());
    }
}

// Lets the parent of `child` erase its background into `dc` (WM_ERASEBKGND),
// with the origin moved so that the part under `child` lands at (0, 0).
void PaintParentBackground(HWND child, HDC dc);

} // namespace kelvo
