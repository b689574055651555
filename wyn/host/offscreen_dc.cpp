#include "wyn/host/offscreen_dc.h"

namespace kelvo {

COffscreenDC::COffscreenDC(HDC target, int width, int height) : m_width(width), m_height(height) {
    if (width < 1 || height < 1)
        return;
    m_bitmap.reset(::CreateCompatibleBitmap(target, width, height));
    m_dc.reset(::CreateCompatibleDC(target));
    if (m_bitmap && m_dc)
        m_select.emplace(m_dc.get(), m_bitmap.get());
}

void COffscreenDC::CopyTo(HDC target) const {
    if (m_select)
        ::BitBlt(target, 0, 0, m_width, m_height, m_dc.get(), 0, 0, SRCCOPY);
}

void PaintParentBackground(HWND child, HDC dc) {
    HWND parent = ::GetParent(child);
    if (!parent)
        return;
    POINT offset{0, 0};
    ::MapWindowPoints(child, parent, &offset, 1);
    POINT old{};
    ::SetViewportOrgEx(dc, -offset.x, -offset.y, &old);
    ::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

} // namespace kelvo
