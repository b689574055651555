#include "draw/paint_buffer.h"

#include <functional>

#include <gtest/gtest.h>

#include "draw/dib_draw.h"
#include "draw/test_buffer.h"
#include "draw/test_pixels.h"

namespace kelvo {
namespace {

using testing::Argb;
using testing::Fill;
using testing::PixelAt;

void FillGdi(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

TEST(PaintBuffer, CreateAndRelease) {
    CPaintBuffer buffer;
    EXPECT_FALSE(buffer.Create(0, 5));
    EXPECT_FALSE(buffer.Create(5, -1));
    EXPECT_FALSE(buffer.IsValid());
    ASSERT_TRUE(buffer.Create(3, 2));
    EXPECT_TRUE(buffer.IsValid());
    EXPECT_NE(buffer.Dc(), nullptr);
    EXPECT_EQ(buffer.Width(), 3);
    EXPECT_EQ(PixelAt(buffer, 2, 1), RGB(0, 0, 0));
    // A DIB section is selected: GDI drawing reaches the bits, rows top-down.
    FillGdi(buffer.Dc(), RECT{2, 1, 3, 2}, RGB(1, 2, 3));
    ::GdiFlush();
    EXPECT_EQ(PixelAt(buffer, 2, 1), RGB(1, 2, 3));
    EXPECT_EQ(static_cast<const std::uint32_t*>(buffer.Bits())[5] & 0xFFFFFF, 0x010203u);
    ASSERT_TRUE(buffer.Create(4, 4)); // makes a new one, releasing the old
    EXPECT_EQ(PixelAt(buffer, 2, 1), RGB(0, 0, 0));
    buffer.Release();
    EXPECT_FALSE(buffer.IsValid());
    EXPECT_EQ(buffer.Dc(), nullptr);
    EXPECT_EQ(buffer.Bits(), nullptr);
}

TEST(PaintContext, GdiAndCairoAgreeAwayFromTheOrigin) {
    CPaintBuffer buffer;
    ASSERT_TRUE(buffer.Create(20, 10));
    {
        CPaintContext context(buffer, POINT{130, 70});
        ASSERT_TRUE(context.IsValid());
        FillGdi(context.Dc(), RECT{135, 75, 136, 76}, RGB(255, 0, 0));
        cairo_t* cr = context.Cairo();
        cairo_rectangle(cr, 135, 76, 1, 1);
        context.SetColour(RGB(0, 0, 255));
        cairo_fill(cr);
        context.Flush();
        EXPECT_EQ(PixelAt(buffer, 5, 5), RGB(255, 0, 0));
        EXPECT_EQ(PixelAt(buffer, 5, 6), RGB(0, 0, 255));
        EXPECT_EQ(PixelAt(buffer, 6, 5), RGB(0, 0, 0));
        EXPECT_EQ(PixelAt(buffer, 5, 4), RGB(0, 0, 0));
    }
    // The context put the DC's origin back.
    POINT origin{};
    ::GetWindowOrgEx(buffer.Dc(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}

TEST(PaintContext, OverABufferThatWasNotMadeThereIsNothingToDrawOn) {
    CPaintBuffer buffer;
    ASSERT_FALSE(buffer.Create(0, 0));
    CPaintContext context(buffer, POINT{5, 5});
    EXPECT_FALSE(context.IsValid());
    EXPECT_EQ(context.Dc(), nullptr);
    EXPECT_EQ(context.Cairo(), nullptr);
    context.SetColour(RGB(1, 2, 3));
    context.InsetRectangle(RECT{0, 0, 4, 4}, 1);
    context.Flush();
}

TEST(PaintContext, SetColourTakesTheColourRefChannels) {
    CPaintBuffer buffer;
    ASSERT_TRUE(buffer.Create(2, 2));
    CPaintContext context(buffer, POINT{0, 0});
    context.SetColour(RGB(10, 128, 250));
    cairo_paint(context.Cairo());
    context.Flush();
    EXPECT_EQ(PixelAt(buffer, 1, 1), RGB(10, 128, 250));
    EXPECT_EQ(static_cast<const std::uint32_t*>(buffer.Bits())[0] >> 24, 255u);
}

TEST(PaintContext, InsetRectangleKeepsTheStrokeInside) {
    for (double width : {1.0, 2.0}) {
        SCOPED_TRACE(width);
        CPaintBuffer buffer;
        ASSERT_TRUE(buffer.Create(14, 14));
        Fill(buffer, RGB(255, 255, 255));
        CPaintContext context(buffer, POINT{10, 10});
        context.InsetRectangle(RECT{12, 12, 22, 22}, width);
        context.SetColour(RGB(0, 0, 0));
        cairo_set_line_width(context.Cairo(), width);
        cairo_stroke(context.Cairo());
        context.Flush();
        const int w = static_cast<int>(width);
        EXPECT_EQ(PixelAt(buffer, 2, 6), RGB(0, 0, 0));           // left edge
        EXPECT_EQ(PixelAt(buffer, 2 + w - 1, 6), RGB(0, 0, 0));   // its full width
        EXPECT_EQ(PixelAt(buffer, 2 + w, 6), RGB(255, 255, 255)); // then the inside
        EXPECT_EQ(PixelAt(buffer, 11, 6), RGB(0, 0, 0));          // right edge, last column
        EXPECT_EQ(PixelAt(buffer, 12, 6), RGB(255, 255, 255));    // nothing outside
        EXPECT_EQ(PixelAt(buffer, 1, 6), RGB(255, 255, 255));
        EXPECT_EQ(PixelAt(buffer, 6, 11), RGB(0, 0, 0));
        EXPECT_EQ(PixelAt(buffer, 6, 12), RGB(255, 255, 255));
    }
}

// A window whose WM_PAINT runs `paint` through a buffered paint.
class PaintWindow {
public:
    using Painter = std::function<void(CBufferedPaint&)>;

    explicit PaintWindow(Painter paint) : paint_(std::move(paint)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KelvoPaintBufferTest";
        ::RegisterClassW(&wc);
        hwnd_.reset(::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"paint", WS_POPUP, 0, 0, 60,
                                      40, nullptr, nullptr, wc.hInstance, this));
        ::ShowWindow(hwnd_.get(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(hwnd_.get());
    }
    HWND hwnd() const { return hwnd_.get(); }
    int paints = 0;
    RECT last_update{};

    COLORREF ScreenPixel(int x, int y) const {
        window_dc dc(hwnd_.get());
        return ::GetPixel(dc.get(), x, y);
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
        if (msg == WM_NCCREATE) {
            auto* self =
                static_cast<PaintWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            ::SetPropW(hwnd, L"KelvoPaintBufferTest_this", self);
        }
        auto* self = static_cast<PaintWindow*>(::GetPropW(hwnd, L"KelvoPaintBufferTest_this"));
        if (msg == WM_PAINT && self) {
            CBufferedPaint paint(hwnd);
            ++self->paints;
            self->last_update = paint.UpdateRect();
            if (paint.IsValid())
                self->paint_(paint);
            return 0;
        }
        if (msg == WM_ERASEBKGND)
            return 1;
        if (msg == WM_NCDESTROY)
            ::RemovePropW(hwnd, L"KelvoPaintBufferTest_this");
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }

    Painter paint_;
    unique_hwnd hwnd_;
};

TEST(BufferedPaint, DrawingInClientCoordinatesReachesTheWindow) {
    PaintWindow window([](CBufferedPaint& paint) {
        CPaintContext& context = paint.Context();
        RECT client{0, 0, 60, 40};
        FillGdi(context.Dc(), client, RGB(255, 255, 255));
        FillGdi(context.Dc(), RECT{20, 10, 22, 12}, RGB(255, 0, 0));
        cairo_t* cr = context.Cairo();
        cairo_rectangle(cr, 22, 10, 2, 2);
        context.SetColour(RGB(0, 0, 255));
        cairo_fill(cr);
        // A picture with half alpha over the white.
        CVtDIB image(1, 1, {Argb(128, 0, 128, 0)});
        Draw(image, context.Dc(), 24, 10);
    });
    ASSERT_GE(window.paints, 1);
    EXPECT_EQ(window.ScreenPixel(21, 11), RGB(255, 0, 0));
    EXPECT_EQ(window.ScreenPixel(22, 10), RGB(0, 0, 255));
    EXPECT_PRED3(testing::Near, window.ScreenPixel(24, 10), RGB(127, 255, 127), 1);
    EXPECT_EQ(window.ScreenPixel(25, 10), RGB(255, 255, 255));

    // Only the update rectangle, away from (0, 0), is painted again; GDI and
    // cairo still land on the same client pixels.
    const int before = window.paints;
    RECT part{15, 8, 40, 30};
    ::InvalidateRect(window.hwnd(), &part, FALSE);
    ::UpdateWindow(window.hwnd());
    ASSERT_EQ(window.paints, before + 1);
    EXPECT_EQ(window.last_update.left, 15);
    EXPECT_EQ(window.last_update.top, 8);
    EXPECT_EQ(window.ScreenPixel(21, 11), RGB(255, 0, 0));
    EXPECT_EQ(window.ScreenPixel(23, 11), RGB(0, 0, 255));
    EXPECT_EQ(window.ScreenPixel(20, 12), RGB(255, 255, 255));
}

TEST(BufferedPaint, UpdateOutsideTheRectangleIsLeftAlone) {
    COLORREF colour = RGB(255, 255, 255);
    PaintWindow window([&colour](CBufferedPaint& paint) {
        FillGdi(paint.Context().Dc(), RECT{0, 0, 60, 40}, colour);
    });
    colour = RGB(0, 128, 0);
    RECT part{30, 20, 50, 35};
    ::InvalidateRect(window.hwnd(), &part, FALSE);
    ::UpdateWindow(window.hwnd());
    EXPECT_EQ(window.ScreenPixel(30, 20), RGB(0, 128, 0));
    EXPECT_EQ(window.ScreenPixel(49, 34), RGB(0, 128, 0));
    EXPECT_EQ(window.ScreenPixel(29, 20), RGB(255, 255, 255));
    EXPECT_EQ(window.ScreenPixel(50, 34), RGB(255, 255, 255));
    EXPECT_EQ(window.ScreenPixel(30, 19), RGB(255, 255, 255));
}

} // namespace
} // namespace kelvo
