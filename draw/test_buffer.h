#pragma once
// Reading the pixels of a paint buffer in the Windows drawing tests.

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "draw/paint_buffer.h"

namespace kelvo::testing {

// The colour at buffer pixel (x, y) as a COLORREF (alpha dropped: GDI does
// not keep it).
inline COLORREF PixelAt(const CPaintBuffer& buffer, int x, int y) {
    std::uint32_t p = static_cast<const std::uint32_t*>(buffer.Bits())[y * buffer.Width() + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Colours equal within `tolerance` per channel (blending rounds either way).
inline bool Near(COLORREF a, COLORREF b, int tolerance = 1) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

inline void Fill(const CPaintBuffer& buffer, COLORREF colour) {
    RECT all{0, 0, buffer.Width(), buffer.Height()};
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(buffer.Dc(), &all, brush);
    ::DeleteObject(brush);
    ::GdiFlush();
}

} // namespace kelvo::testing
