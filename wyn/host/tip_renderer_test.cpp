#include "wyn/host/tip_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "base/win_handles.h"

namespace {

LOGFONTW GuiFont() {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}

TEST(TipRenderer, HeadingOnItsOwnLineThenTextWrappedInsideTheWidth) {
    const LOGFONTW gui = GuiFont();
    CWynTipRenderer renderer;
    renderer.SetMarkup(L"<h2>Password does not match</h2><br>Please enter the same password "
                       L"into the both text boxes, and then once more to be sure.",
                       gui.lfFaceName, gui.lfHeight, RGB(1, 2, 3));
    const int bottom = renderer.Layout(68, 10, 168);
    const auto& runs = renderer.Runs();
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(runs.front().heading, 2);
    EXPECT_EQ(runs.front().x, 68);
    int last_heading_y = runs.front().y;
    int lines = 0;
    int y = -1;
    for (const auto& run : runs) {
        EXPECT_GE(run.x, 68);
        EXPECT_LT(run.x, 168);
        if (run.heading == 2)
            last_heading_y = run.y;
        else
            EXPECT_GT(run.y, last_heading_y) << "body text below the heading";
        if (run.y != y) {
            ++lines;
            y = run.y;
        }
    }
    EXPECT_GE(lines, 4) << "100 pixels hold a few words a line";
    EXPECT_GT(bottom, runs.back().y);
}

TEST(TipRenderer, AWordLongerThanTheLineIsBrokenAndNothingIsDrawnPastTheRightEdge) {
    const LOGFONTW gui = GuiFont();
    CWynTipRenderer renderer;
    renderer.SetMarkup(std::wstring(200, L'W'), gui.lfFaceName, gui.lfHeight, RGB(0, 0, 0));
    const int bottom = renderer.Layout(0, 0, 60);
    int characters = 0;
    for (const auto& run : renderer.Runs())
        characters += static_cast<int>(run.text.size());
    EXPECT_EQ(characters, 200) << "every character is placed";
    ASSERT_GT(bottom, 0);

    // Drawn on white: ink left of the edge, none right of it.
    constexpr int kWidth = 120;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    kelvo::UniqueHbitmap bitmap(
        ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    kelvo::UniqueHdc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bitmap && dc && bits);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill_n(pixels, kWidth * bottom, 0x00FFFFFFu);
    {
        kelvo::SelectedObject selected(dc.Get(), bitmap.Get());
        renderer.Draw(dc.Get());
        ::GdiFlush();
    }
    int ink_inside = 0;
    int ink_outside = 0;
    for (int y = 0; y < bottom; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if ((pixels[y * kWidth + x] & 0xFFFFFF) != 0xFFFFFF)
                ++(x <= 60 ? ink_inside : ink_outside);
        }
    }
    EXPECT_GT(ink_inside, 0);
    EXPECT_EQ(ink_outside, 0);
}

TEST(TipRenderer, EmptyMarkupLaysOutToNothing) {
    CWynTipRenderer renderer;
    renderer.SetMarkup(L"", L"Tahoma", -11, 0);
    EXPECT_EQ(renderer.Layout(10, 10, 320), 10);
    EXPECT_TRUE(renderer.Runs().empty());
}

} // namespace
