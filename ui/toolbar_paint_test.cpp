#include "ui/toolbar_paint.h"

#include <gtest/gtest.h>

#include "base/win_handles.h"
#include "draw/test_buffer.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/testing/test_tree.h"

namespace kelvo {
namespace {

using testing::Near;
using testing::PixelAt;

class ToolbarPaintTest : public ::testing::Test {
protected:
    const CPaintBuffer& Paint(int width, int height,
                              const std::function<void(const CPaintContext&)>& paint) {
        EXPECT_TRUE(m_buffer.Create(width, height));
        testing::Fill(m_buffer, kBackground);
        const CPaintContext context(m_buffer, {0, 0});
        paint(context);
        context.Flush();
        return m_buffer;
    }
    // The bounds of the pixels that differ from the background.
    RECT Painted() const {
        RECT bounds{m_buffer.Width(), m_buffer.Height(), -1, -1};
        for (int y = 0; y < m_buffer.Height(); ++y)
            for (int x = 0; x < m_buffer.Width(); ++x)
                if (PixelAt(m_buffer, x, y) != kBackground)
                    bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                              std::max<LONG>(bounds.right, x + 1),
                              std::max<LONG>(bounds.bottom, y + 1)};
        return bounds;
    }
    bool Marked(const RECT& area) const {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (PixelAt(m_buffer, x, y) != kBackground)
                    return true;
        return false;
    }

    static constexpr COLORREF kBackground = RGB(1, 2, 3);
    CkvWynEngine m_engine{wyn_test::Module()};
    CPaintBuffer m_buffer;
    UniqueHdc m_dc{::CreateCompatibleDC(nullptr)};
};

TEST_F(ToolbarPaintTest, ButtonSizesFollowTheFontAndTheDpi) {
    for (const int dpi : {96, 120, 144, 192}) {
        // The dialog's font at that DPI: 8 points.
        const UniqueHfont font(::CreateFontW(-::MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE,
                                             FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                                             L"MS Shell Dlg"));
        TEXTMETRICW metrics{};
        {
            const SelectedObject selected(m_dc.Get(), font.Get());
            ::GetTextMetricsW(m_dc.Get(), &metrics);
        }
        const auto scaled = [dpi](int value) { return ::MulDiv(value, dpi, 96); };
        const int height = std::max(scaled(40), 2 * static_cast<int>(metrics.tmHeight) + scaled(8));
        const UINT at = static_cast<UINT>(dpi);
        EXPECT_EQ(ToolbarButtonSize(m_dc.Get(), font.Get(), at).cx, scaled(40)) << dpi;
        EXPECT_EQ(ToolbarButtonSize(m_dc.Get(), font.Get(), at).cy, height) << dpi;
        EXPECT_EQ(PasteToButtonSize(m_dc.Get(), font.Get(), at).cx, height / 2) << dpi;
        const SIZE short_label = PasteButtonSize(m_dc.Get(), font.Get(), at, L"Paste");
        const SIZE long_label = PasteButtonSize(m_dc.Get(), font.Get(), at, L"Paste Chunk to:");
        EXPECT_EQ(short_label.cy, height) << dpi;
        EXPECT_GT(short_label.cx, scaled(44)) << dpi;
        EXPECT_GT(long_label.cx, short_label.cx) << dpi;
    }
}

TEST_F(ToolbarPaintTest, TheGradientRunsTopToBottomAndHotButtonsAreFramed) {
    Paint(40, 40, [](const CPaintContext& context) {
        PaintToolbarBackground(context, {0, 0, 40, 40}, ButtonState::kNormal);
    });
    EXPECT_TRUE(Near(PixelAt(m_buffer, 20, 0), RGB(248, 249, 253), 2));
    EXPECT_TRUE(Near(PixelAt(m_buffer, 20, 39), RGB(181, 190, 206), 1)) << "the bottom line";
    EXPECT_GT(GetRValue(PixelAt(m_buffer, 20, 5)), GetRValue(PixelAt(m_buffer, 20, 30)));

    for (ButtonState state : {ButtonState::kHot, ButtonState::kPressed}) {
        Paint(40, 40, [&](const CPaintContext& context) {
            PaintToolbarBackground(context, {0, 0, 40, 40}, state);
        });
        EXPECT_TRUE(Near(PixelAt(m_buffer, 1, 20), RGB(41, 153, 255), 1)) << "the frame";
        // The fill's gradient at the centre of pixel row 2.
        const double t = 2.5 / 40;
        const auto at = [t](int top, int bottom) {
            return static_cast<int>(top + (bottom - top) * t + 0.5);
        };
        EXPECT_TRUE(
            Near(PixelAt(m_buffer, 20, 2), RGB(at(237, 129), at(248, 192), at(253, 224)), 2));
    }
}

TEST_F(ToolbarPaintTest, TheSpacerCarriesTheGradientOntoTheWindow) {
    Paint(30, 40, [](const CPaintContext&) {});
    PaintToolbarSpacer(m_buffer.Dc(), {10, 0, 20, 40}, 96);
    ::GdiFlush();
    EXPECT_EQ(PixelAt(m_buffer, 9, 0), kBackground);
    EXPECT_TRUE(Near(PixelAt(m_buffer, 15, 0), RGB(248, 249, 253), 2));
    EXPECT_TRUE(Near(PixelAt(m_buffer, 15, 39), RGB(181, 190, 206), 1));
    EXPECT_EQ(PixelAt(m_buffer, 20, 0), kBackground);
}

TEST_F(ToolbarPaintTest, ThePasteToTriangleIsHalfTheWidthHigh) {
    Paint(20, 40, [](const CPaintContext& context) {
        PaintPasteToButton(context, {0, 0, 20, 40}, ButtonState::kHot);
    });
    // Hot: the whole button takes the highlight, the triangle its text colour.
    EXPECT_EQ(PixelAt(m_buffer, 1, 1), ::GetSysColor(COLOR_HIGHLIGHT));
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    RECT bounds{20, 40, -1, -1};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 20; ++x)
            if (PixelAt(m_buffer, x, y) != highlight)
                bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                          std::max<LONG>(bounds.right, x + 1),
                          std::max<LONG>(bounds.bottom, y + 1)};
    EXPECT_EQ(bounds.left, 5);
    EXPECT_EQ(bounds.right - bounds.left, 10);
    EXPECT_EQ(bounds.top, 20);
    EXPECT_EQ(bounds.bottom - bounds.top, 5);
}

TEST_F(ToolbarPaintTest, ThePasteButtonShowsTheTargetOrItsStandIn) {
    const RECT button{0, 0, 160, 44};
    const auto paint = [&](const TargetWindow& target) {
        Paint(161, 44, [&](const CPaintContext& context) {
            PaintPasteButton(context, m_engine, button, ButtonState::kNormal, L"Paste Chunk to:",
                             target);
        });
    };
    // Without an icon: "paste.png" where the icon goes; no title line
    // while the target is not a window.
    paint({});
    CPaintBuffer image;
    ASSERT_TRUE(image.Create(32, 32));
    testing::Fill(image, kBackground);
    m_engine.DrawImage(image.Dc(), 0, 0, 32, 32, L"paste.png");
    ::GdiFlush();
    for (int y = 0; y < 32; y += 3)
        for (int x = 0; x < 32; x += 3)
            ASSERT_EQ(PixelAt(m_buffer, 4 + x, 4 + y), PixelAt(image, x, y)) << x << "," << y;
    EXPECT_TRUE(Marked({44, 4, 156, 22})) << "the label";
    EXPECT_FALSE(Marked({44, 23, 156, 39})) << "no title";
    EXPECT_TRUE(Marked({160, 0, 161, 44})) << "the frame reaches past the right edge";

    const UniqueHwnd window(::CreateWindowExW(0, L"STATIC", L"Target title", WS_POPUP, 0, 0, 10, 10,
                                              nullptr, nullptr, nullptr, nullptr));
    paint({window.Get(), L"", nullptr});
    EXPECT_TRUE(Marked({44, 23, 156, 39})) << "the window's title";
}

TEST_F(ToolbarPaintTest, TheClearFindCrossTakesTheStateColours) {
    for (ButtonState state : {ButtonState::kNormal, ButtonState::kHot}) {
        Paint(21, 20, [&](const CPaintContext& context) {
            PaintClearFindButton(context, {1, 0, 21, 20}, state);
        });
        const bool lit = state != ButtonState::kNormal;
        EXPECT_EQ(PixelAt(m_buffer, 2, 10), ::GetSysColor(lit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        EXPECT_EQ(PixelAt(m_buffer, 0, 10), ::GetSysColor(lit ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW))
            << "one pixel left of the button";
        EXPECT_TRUE(Near(PixelAt(m_buffer, 11, 10),
                         ::GetSysColor(lit ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT), 8))
            << "the cross";
    }
}

} // namespace
} // namespace kelvo
