#include "draw/paint_buffer.h"

#include <cstdint>
#include <functional>

#include <gtest/gtest.h>

#include "base/window_binding.h"
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

constexpr wchar_t kPaintClass[] = L"KelvoPaintBufferTest";
constexpr wchar_t kPaintProperty[] = L"KelvoPaintBufferTest_this";

// A window whose WM_PAINT runs `paint` through a buffered paint: a top-level
// one, or a child of `parent` at `at`.
class PaintWindow {
public:
    using Painter = std::function<void(HWND, CBufferedPaint&)>;

    explicit PaintWindow(Painter paint, HWND parent = nullptr, RECT at = {0, 0, 60, 40})
        : m_paint(std::move(paint)) {
        const HINSTANCE module = ::GetModuleHandleW(nullptr);
        RegisterWindowClass(ClassDescription(
            module, kPaintClass,
            &OwnWindowProc<kPaintProperty, &PaintWindow::WindowProc, &PaintWindow::m_window>));
        ::CreateWindowExW(parent ? 0 : WS_EX_TOPMOST, kPaintClass, L"paint",
                          parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, at.left, at.top,
                          at.right - at.left, at.bottom - at.top, parent, nullptr, module, this);
        ::ShowWindow(m_window.Get(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_window.Get());
    }
    HWND Hwnd() const { return m_window.Get(); }
    int paints = 0;
    RECT last_update{};

    COLORREF ScreenPixel(int x, int y) const {
        WindowDc dc(m_window.Get());
        return ::GetPixel(dc.Get(), x, y);
    }

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PAINT) {
            CBufferedPaint paint(hwnd);
            ++paints;
            last_update = paint.UpdateRect();
            if (paint.IsValid())
                m_paint(hwnd, paint);
            return 0;
        }
        if (msg == WM_ERASEBKGND)
            return 1;
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }

private:
    Painter m_paint;
    COwnWindow m_window;
};

TEST(BufferedPaint, DrawingInClientCoordinatesReachesTheWindow) {
    PaintWindow window([](HWND, CBufferedPaint& paint) {
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
    ::InvalidateRect(window.Hwnd(), &part, FALSE);
    ::UpdateWindow(window.Hwnd());
    ASSERT_EQ(window.paints, before + 1);
    EXPECT_EQ(window.last_update.left, 15);
    EXPECT_EQ(window.last_update.top, 8);
    EXPECT_EQ(window.ScreenPixel(21, 11), RGB(255, 0, 0));
    EXPECT_EQ(window.ScreenPixel(23, 11), RGB(0, 0, 255));
    EXPECT_EQ(window.ScreenPixel(20, 12), RGB(255, 255, 255));
}

TEST(BufferedPaint, UpdateOutsideTheRectangleIsLeftAlone) {
    COLORREF colour = RGB(255, 255, 255);
    PaintWindow window([&colour](HWND, CBufferedPaint& paint) {
        FillGdi(paint.Context().Dc(), RECT{0, 0, 60, 40}, colour);
    });
    colour = RGB(0, 128, 0);
    RECT part{30, 20, 50, 35};
    ::InvalidateRect(window.Hwnd(), &part, FALSE);
    ::UpdateWindow(window.Hwnd());
    EXPECT_EQ(window.ScreenPixel(30, 20), RGB(0, 128, 0));
    EXPECT_EQ(window.ScreenPixel(49, 34), RGB(0, 128, 0));
    EXPECT_EQ(window.ScreenPixel(29, 20), RGB(255, 255, 255));
    EXPECT_EQ(window.ScreenPixel(50, 34), RGB(255, 255, 255));
    EXPECT_EQ(window.ScreenPixel(30, 19), RGB(255, 255, 255));
}

// An 8 x 8 pattern, red on the tile's first row and column, white elsewhere.
UniqueHbrush GridBrush() {
    struct {
        BITMAPINFOHEADER header;
        std::uint32_t bits[8 * 8];
    } dib{};
    dib.header = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    for (int row = 0; row < 8; ++row) {
        const int y = 7 - row; // bottom-up rows
        for (int x = 0; x < 8; ++x)
            dib.bits[row * 8 + x] = x == 0 || y == 0 ? 0xFF0000u : 0xFFFFFFu;
    }
    return UniqueHbrush(::CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS));
}

TEST(PaintParentBackground, TheParentsPatternLinesUpUnderTheChild) {
    static const UniqueHbrush grid = GridBrush();
    ASSERT_TRUE(grid);
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW parent_class = ClassDescription(module, L"KelvoPatternParent", &::DefWindowProcW);
    parent_class.hbrBackground = grid.Get();
    ASSERT_TRUE(RegisterWindowClass(parent_class));
    UniqueHwnd parent(::CreateWindowExW(WS_EX_TOPMOST, L"KelvoPatternParent", L"", WS_POPUP, 0, 0,
                                        80, 60, nullptr, nullptr, module, nullptr));
    ASSERT_TRUE(parent);
    ::ShowWindow(parent.Get(), SW_SHOWNOACTIVATE);
    constexpr POINT kAt{21, 10};
    PaintWindow child(
        [](HWND hwnd, CBufferedPaint& paint) { PaintParentBackground(hwnd, paint.Context().Dc()); },
        parent.Get(), {kAt.x, kAt.y, kAt.x + 40, kAt.y + 30});
    ASSERT_GE(child.paints, 1);

    // Child pixel (x, y) shows the parent's pixel (x + 21, y + 10).
    auto expect_parent_under = [&](const RECT& area) {
        for (int x = area.left; x < area.right; ++x) {
            const int y = area.top + 1;
            const bool red = (x + kAt.x) % 8 == 0 || (y + kAt.y) % 8 == 0;
            EXPECT_EQ(child.ScreenPixel(x, y), red ? RGB(255, 0, 0) : RGB(255, 255, 255))
                << "at " << x << ", " << y;
        }
        for (int y = area.top; y < area.bottom; ++y) {
            const int x = area.left + 2;
            const bool red = (x + kAt.x) % 8 == 0 || (y + kAt.y) % 8 == 0;
            EXPECT_EQ(child.ScreenPixel(x, y), red ? RGB(255, 0, 0) : RGB(255, 255, 255))
                << "at " << x << ", " << y;
        }
    };
    expect_parent_under({0, 0, 40, 30});

    // A part away from the child's origin, painted over black first.
    RECT part{3, 5, 30, 25};
    {
        WindowDc dc(child.Hwnd());
        FillGdi(dc.Get(), RECT{0, 0, 40, 30}, RGB(0, 0, 0));
    }
    ::InvalidateRect(child.Hwnd(), &part, FALSE);
    ::UpdateWindow(child.Hwnd());
    EXPECT_EQ(child.last_update.left, 3);
    expect_parent_under(part);
    EXPECT_EQ(child.ScreenPixel(2, 5), RGB(0, 0, 0)) << "outside the update rectangle";
}

} // namespace
} // namespace kelvo
