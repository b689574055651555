#include "draw/scroll_source.h"

#include <gtest/gtest.h>

#include "base/win_handles.h"

namespace kelvo {
namespace {

// Rows of 40 pixels over a bare window 400 pixels high, as a chooser of
// windows shows them: ten rows to a page.
class FixedRows : public CScrollSource {
public:
    explicit FixedRows(int count)
        : m_count(count), m_window(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 400,
                                                     nullptr, nullptr, nullptr, nullptr)) {
        UpdateScrollBar(false);
    }

    HWND Window() const { return m_window.Get(); }
    // A refill to `count` rows.
    void Refill(int count) {
        m_count = count;
        UpdateScrollBar(false);
    }
    // Whether the window was asked to paint since the last call.
    bool Invalidated() const {
        RECT update{};
        const bool invalidated = ::GetUpdateRect(m_window.Get(), &update, FALSE) != FALSE;
        ::ValidateRect(m_window.Get(), nullptr);
        return invalidated;
    }
    bool ScrollBarShown() const {
        return (::GetWindowLongW(m_window.Get(), GWL_STYLE) & WS_VSCROLL) != 0;
    }
    int changes = 0;

private:
    HWND ScrollingWindow() const override { return m_window.Get(); }
    int LineHeight() const override { return 40; }
    int ItemCount() const override { return m_count; }
    int ItemTop(int index) const override { return index * 40; }
    int ItemHeight(int) const override { return 40; }
    void SelectionChanged() override { ++changes; }

    int m_count;
    UniqueHwnd m_window;
};

TEST(ScrollSource, RowsThatFitNeitherScrollNorShowTheBar) {
    FixedRows rows(10);
    ASSERT_EQ(rows.PageHeight(), 400);
    EXPECT_FALSE(rows.ScrollBarShown());
    rows.OnMouseWheel(MAKEWPARAM(0, static_cast<WORD>(-120)));
    rows.OnVScroll(SB_PAGEDOWN);
    EXPECT_EQ(rows.ScrollPosition(), 0);
    EXPECT_TRUE(rows.OnKeyDown(VK_NEXT));
    EXPECT_EQ(rows.CurrentIndex(), 0) << "no current row: Page Down takes the first";
    EXPECT_FALSE(rows.OnKeyDown(VK_SPACE));
    EXPECT_EQ(rows.changes, 1);
}

TEST(ScrollSource, KeysPageAndKeepTheCurrentRowInView) {
    FixedRows rows(25);
    EXPECT_TRUE(rows.ScrollBarShown());
    rows.SetCurrent(0, true);
    // Page Down from row 0: the row a page below its middle.
    const struct {
        UINT key;
        int current;
        int scroll;
    } steps[] = {
        {VK_NEXT, 10, 40},   {VK_NEXT, 20, 440}, {VK_NEXT, 24, 600}, {VK_DOWN, 24, 600},
        {VK_PRIOR, 14, 560}, {VK_UP, 13, 520},   {VK_HOME, 0, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        rows.OnKeyDown(step.key);
        EXPECT_EQ(rows.CurrentIndex(), step.current);
        EXPECT_EQ(rows.ScrollPosition(), step.scroll);
    }
    EXPECT_EQ(rows.changes, 6) << "Down at the last row changes nothing";
}

TEST(ScrollSource, HitTestFindsTheRowUnderThePointAfterScrolling) {
    FixedRows rows(25);
    rows.OnVScroll(SB_BOTTOM);
    ASSERT_EQ(rows.ScrollPosition(), 600);
    EXPECT_EQ(rows.HitTest({5, 0}), 15);
    EXPECT_EQ(rows.HitTest({5, 399}), 24);
    EXPECT_EQ(rows.HitTest({5, 400}), -1) << "below the last row";
    EXPECT_EQ(rows.HitTest({-1, 10}), -1);
    const RECT r = rows.ItemRect(15);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 40);
    rows.OnMouseWheel(MAKEWPARAM(0, 120));
    EXPECT_EQ(rows.ScrollPosition(), 560) << "one notch, one row";
}

TEST(ScrollSource, TheBarIsDrawnAgainOnlyWhenItsThumbMoves) {
    FixedRows rows(1000);
    ASSERT_TRUE(rows.ScrollBarShown());
    // Only a window on screen has anything to draw again.
    ::ShowWindow(rows.Window(), SW_SHOWNA);
    ::UpdateWindow(rows.Window());
    rows.Invalidated();
    rows.Refill(1001);
    EXPECT_FALSE(rows.Invalidated()) << "a long list a row longer: the thumb stays";
    rows.Refill(20);
    EXPECT_TRUE(rows.Invalidated()) << "half the rows on the page: a larger thumb";
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(rows.Window(), SB_VERT, &info));
    EXPECT_EQ(info.nMax, 799);
    EXPECT_EQ(info.nPage, 400u);
}

} // namespace
} // namespace kelvo
