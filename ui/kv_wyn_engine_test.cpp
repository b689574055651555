#include "ui/kv_wyn_engine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "base/win_handles.h"
#include "wyn/testing/test_tree.h"

namespace {

constexpr std::uint32_t kBackground = 0x123456;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// A 64 x 64 top-down 32-bit DIB in a memory DC, filled with kBackground.
class Canvas {
public:
    static constexpr int kSize = 64;

    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<std::uint32_t*>(bits);
        for (int i = 0; i < kSize * kSize; ++i)
            m_bits[i] = kBackground;
        m_select.emplace(m_dc.Get(), m_bitmap.Get());
    }

    HDC Dc() const { return m_dc.Get(); }
    std::uint32_t At(int x, int y) const {
        ::GdiFlush();
        return m_bits[y * kSize + x] & 0xFFFFFF;
    }
    bool Untouched() const {
        ::GdiFlush();
        for (int i = 0; i < kSize * kSize; ++i) {
            if ((m_bits[i] & 0xFFFFFF) != kBackground)
                return false;
        }
        return true;
    }

private:
    kelvo::UniqueHbitmap m_bitmap;
    kelvo::UniqueHdc m_dc{::CreateCompatibleDC(nullptr)};
    std::uint32_t* m_bits = nullptr;
    std::optional<kelvo::SelectedObject> m_select;
};

class KvWynEngineTest : public ::testing::Test {
protected:
    CkvWynEngine m_engine{wyn_test::Module()};
    Canvas m_canvas;
};

TEST(KvWynEngineNamesTest, ApplicationNamesComeFirstAndCodeditIsCaseSensitive) {
    using kelvo::ApplicationElementNames;
    using kelvo::FindElementName;
    const auto* list = FindElementName(ApplicationElementNames(), L"CustomList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->name, L"customlist");
    ASSERT_NE(FindElementName(ApplicationElementNames(), L"CUSTOMBUTTON"), nullptr);
    ASSERT_NE(FindElementName(ApplicationElementNames(), L"codedit"), nullptr);
    EXPECT_EQ(FindElementName(ApplicationElementNames(), L"CodEdit"), nullptr);
    EXPECT_EQ(FindElementName(ApplicationElementNames(), L"CODEDIT"), nullptr);
    EXPECT_EQ(FindElementName(kelvo::StandardElementNames(), L"CodEdit"), nullptr)
        << "nor is it any other element";

    CkvWynEngine engine(wyn_test::Module());
    EXPECT_NE(engine.CreateElement(L"VBOX", nullptr), nullptr) << "the engine's own names remain";
}

TEST_F(KvWynEngineTest, DeleteIconSizeFollowsTheRectangle) {
    const struct {
        int side;
        int icon;
        std::uint32_t colour; // each size has its own colour in the test images
    } cases[] = {
        {26, 16, kBlue}, // 26 - 8 = 18: below 20
        {28, 20, kGreen},
        {32, 24, kRed},
        {40, 32, kRed}, // 32: from the largest there is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.side);
        Canvas target;
        m_engine.DrawImage(target.Dc(), 4, 6, c.side, c.side, L"DelHkIcon.png");
        const int left = 4 + c.side / 2 - c.icon / 2;
        const int top = 6 + c.side / 2 - c.icon / 2;
        const int right = left + c.icon - 1;
        const int bottom = top + c.icon - 1;
        EXPECT_EQ(target.At(left, top), c.colour);
        EXPECT_EQ(target.At(right, bottom), c.colour);
        EXPECT_EQ(target.At(left - 1, top), kBackground);
        EXPECT_EQ(target.At(left, top - 1), kBackground);
        EXPECT_EQ(target.At(right + 1, bottom), kBackground);
        EXPECT_EQ(target.At(right, bottom + 1), kBackground);
    }
}

TEST_F(KvWynEngineTest, TheSmallestSizeAtLeastAsLargeIsDrawn) {
    const struct {
        int side;
        std::uint32_t colour; // "sized.png": 16 blue, 24 green, 32 red
    } cases[] = {{12, kBlue}, {16, kBlue}, {17, kGreen}, {24, kGreen}, {25, kRed}, {48, kRed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.side);
        Canvas colour, grey;
        m_engine.DrawImage(colour.Dc(), 3, 4, c.side, c.side, L"sized.png");
        m_engine.DrawImageGray(grey.Dc(), 3, 4, c.side, c.side, L"sized.png");
        EXPECT_EQ(colour.At(3, 4), c.colour);
        EXPECT_EQ(colour.At(3 + c.side - 1, 4 + c.side - 1), c.colour);
        EXPECT_EQ(colour.At(3 + c.side, 4 + c.side), kBackground);
        EXPECT_EQ(grey.At(3, 4), 0x555555u) << "one channel of 255 in three";
    }
}

TEST_F(KvWynEngineTest, OtherImagesFillTheRectangleAndGreyKeepsBrightness) {
    Canvas grey;
    m_engine.DrawImage(m_canvas.Dc(), 5, 5, 10, 10, L"tint.png");
    m_engine.DrawImageGray(grey.Dc(), 5, 5, 10, 10, L"tint.png");
    EXPECT_EQ(m_canvas.At(5, 5), 0x1E3C5Au); // 30, 60, 90
    EXPECT_EQ(m_canvas.At(14, 14), 0x1E3C5Au);
    EXPECT_EQ(m_canvas.At(15, 15), kBackground);
    EXPECT_EQ(grey.At(5, 5), 0x3C3C3Cu); // (30 + 60 + 90) / 3
    EXPECT_EQ(grey.At(14, 14), 0x3C3C3Cu);
    EXPECT_EQ(grey.At(4, 4), kBackground);
}

TEST_F(KvWynEngineTest, SkinDrawsOneFrameOfAStrip) {
    const struct {
        const wchar_t* image;
        int index;
        bool sideBySide;
        std::uint32_t colour;
    } cases[] = {
        {L"strip.png", 0, false, kRed},
        {L"strip.png", 1, false, kGreen},
        {L"strip-wide.png", 2, true, kBlue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Canvas target;
        m_engine.DrawImageSkin(target.Dc(), 2, 3, 20, 10, c.image, 3, c.index, c.sideBySide);
        EXPECT_EQ(target.At(2, 3), c.colour);
        EXPECT_EQ(target.At(21, 12), c.colour);
        EXPECT_EQ(target.At(22, 12), kBackground);
    }
}

TEST_F(KvWynEngineTest, HotkeyBackgroundKeepsItsThreePixelBorder) {
    // The same 9 x 9 picture (white frame 3 pixels wide around black) under two
    // names: only "delhkbg.png" keeps its corners and edges unstretched.
    Canvas stretched;
    m_engine.DrawImageSkin(m_canvas.Dc(), 0, 0, 30, 30, L"delhkbg.png", 0, 0, false);
    m_engine.DrawImageSkin(stretched.Dc(), 0, 0, 30, 30, L"framed.png", 0, 0, false);
    EXPECT_EQ(m_canvas.At(2, 2), kWhite);
    EXPECT_EQ(m_canvas.At(3, 3), kBlack);
    EXPECT_EQ(m_canvas.At(26, 26), kBlack);
    EXPECT_EQ(m_canvas.At(27, 27), kWhite);
    // Stretched whole (and smoothed), the frame covers what the border kept black.
    EXPECT_GT(stretched.At(3, 3) & 0xFF, 0xF0u);
    EXPECT_LT(stretched.At(15, 15) & 0xFF, 0x10u);
}

TEST_F(KvWynEngineTest, MissingImagesAndFramesDrawNothing) {
    m_engine.DrawImage(m_canvas.Dc(), 0, 0, 32, 32, L"missing.png");
    m_engine.DrawImage(m_canvas.Dc(), 0, 0, 32, 32, nullptr);
    m_engine.DrawImageGray(m_canvas.Dc(), 0, 0, 32, 32, L"missing.png");
    m_engine.DrawImageSkin(m_canvas.Dc(), 0, 0, 32, 32, L"missing.png", 3, 0, false);
    m_engine.DrawImageSkin(m_canvas.Dc(), 0, 0, 32, 32, L"strip.png", 3, 3, false);
    m_engine.DrawImageSkin(m_canvas.Dc(), 0, 0, 32, 32, L"strip.png", 3, -1, false);
    m_engine.DrawImageSkin(m_canvas.Dc(), 0, 0, 32, 32, L"strip.png", 100, 0, false);
    // A description resource is no image.
    m_engine.DrawImage(m_canvas.Dc(), 0, 0, 32, 32, L"sample.xml");
    EXPECT_TRUE(m_canvas.Untouched());
}

} // namespace
