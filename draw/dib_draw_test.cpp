#include "draw/dib_draw.h"

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "draw/paint_buffer.h"
#include "draw/test_buffer.h"
#include "draw/test_pixels.h"
#include "draw/test_png.h"

namespace kelvo {
namespace {

using testing::Argb;
using testing::Fill;
using testing::Near;
using testing::PixelAt;

constexpr COLORREF kBackground = RGB(20, 40, 200);

// A premultiplied colour of alpha `a` over the background, as AlphaBlend
// computes it: source + background * (255 - a) / 255.
COLORREF OverBackground(int r, int g, int b, int a) {
    auto over = [a](int s, int d) { return static_cast<BYTE>(s + d * (255 - a) / 255); };
    return RGB(over(r, GetRValue(kBackground)), over(g, GetGValue(kBackground)),
               over(b, GetBValue(kBackground)));
}

// A buffer of the given size filled with the background colour.
struct Canvas {
    Canvas(int w, int h) {
        EXPECT_TRUE(buffer.Create(w, h));
        Fill(buffer, kBackground);
    }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        return PixelAt(buffer, x, y);
    }
    CPaintBuffer buffer;
};

// A premultiplied picture from straight-alpha pixels given top row first.
CVtDIB Picture(int w, int h, std::vector<std::uint32_t> top_down) {
    std::vector<std::uint32_t> rows;
    for (int y = h - 1; y >= 0; --y)
        rows.insert(rows.end(), top_down.begin() + y * w, top_down.begin() + (y + 1) * w);
    CVtDIB image(w, h, rows);
    image.Premultiply();
    return image;
}

// A picture whose every column has red = 10 * column and whose rows have
// green = 10 * row, opaque.
CVtDIB Columns(int w, int h) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(Argb(255, 10 * x, 10 * y, 0));
    return Picture(w, h, px);
}

TEST(DibDraw, PartialAlphaBlendsOverTheBackground) {
    Canvas canvas(8, 8);
    CVtDIB image =
        Picture(3, 1, {Argb(128, 255, 0, 0), Argb(0, 255, 255, 255), Argb(255, 1, 2, 3)});
    ASSERT_TRUE(Draw(image, canvas.buffer.Dc(), 2, 5));
    EXPECT_PRED3(Near, canvas.At(2, 5), OverBackground(128, 0, 0, 128), 1);
    EXPECT_EQ(canvas.At(3, 5), kBackground); // alpha 0 leaves the background
    EXPECT_EQ(canvas.At(4, 5), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(1, 5), kBackground);
    EXPECT_EQ(canvas.At(2, 4), kBackground);
}

TEST(DibDraw, OpacityScalesTheWholePicture) {
    Canvas canvas(4, 4);
    CVtDIB image = Picture(1, 1, {Argb(255, 220, 0, 0)});
    image.SetOpacity(128);
    ASSERT_TRUE(Draw(image, canvas.buffer.Dc(), 1, 1));
    // The constant alpha scales the premultiplied pixel: (110, 0, 0) at 128.
    EXPECT_PRED3(Near, canvas.At(1, 1), OverBackground(220 * 128 / 255, 0, 0, 128), 1);
}

TEST(DibDraw, PalettePngDrawsOpaque) {
    auto png = testing::SimplePng(2, 1, 8, 3, {{0, 1}}, {{"PLTE", {255, 0, 0, 0, 255, 0}}});
    CVtDIB image;
    ASSERT_TRUE(image.LoadFromMemory(png.data(), png.size()));
    Canvas canvas(4, 4);
    ASSERT_TRUE(Draw(image, canvas.buffer.Dc(), 0, 0));
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(1, 0), RGB(0, 255, 0));
}

TEST(DibDraw, RowsLandTopToBottom) {
    Canvas canvas(4, 4);
    ASSERT_TRUE(Draw(Columns(2, 3), canvas.buffer.Dc(), 1, 0));
    EXPECT_EQ(canvas.At(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(2, 2), RGB(10, 20, 0));
}

TEST(DibDraw, ScaledDrawCoversTheAskedSize) {
    Canvas canvas(16, 16);
    CVtDIB image = Picture(2, 2, std::vector<std::uint32_t>(4, Argb(255, 0, 255, 0)));
    ASSERT_TRUE(Draw(image, canvas.buffer.Dc(), 3, 4, 6, 5));
    EXPECT_EQ(canvas.At(3, 4), RGB(0, 255, 0));
    // Bilinear weights add up to less than 256 between pixels: near, not equal.
    EXPECT_PRED3(Near, canvas.At(8, 8), RGB(0, 255, 0), 1);
    EXPECT_EQ(canvas.At(9, 8), kBackground);
    EXPECT_EQ(canvas.At(8, 9), kBackground);
    // A negative side keeps the picture's own: 2 wide, 4 high.
    Fill(canvas.buffer, kBackground);
    ASSERT_TRUE(Draw(image, canvas.buffer.Dc(), 0, 0, -1, 4));
    EXPECT_PRED3(Near, canvas.At(1, 3), RGB(0, 255, 0), 1);
    EXPECT_EQ(canvas.At(2, 0), kBackground);
    EXPECT_EQ(canvas.At(0, 4), kBackground);
}

TEST(DibDraw, NothingToDrawAnswersFalse) {
    Canvas canvas(4, 4);
    CVtDIB image = Columns(2, 2);
    EXPECT_FALSE(Draw(CVtDIB(), canvas.buffer.Dc(), 0, 0));
    EXPECT_FALSE(Draw(image, canvas.buffer.Dc(), 0, 0, 0, 2));
    EXPECT_FALSE(Draw(image, canvas.buffer.Dc(), 0, 0, 2, 0));
    EXPECT_EQ(canvas.At(0, 0), kBackground);
}

TEST(DibDraw, TilingTenOverTwentyFiveDrawsTenTenAndFive) {
    Canvas canvas(30, 4);
    CVtDIB image = Columns(10, 2);
    image.SetOpacity(0); // not used when tiling
    RECT rect{0, 1, 25, 3};
    Tile(image, canvas.buffer.Dc(), rect);
    EXPECT_EQ(canvas.At(0, 1), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(9, 1), RGB(90, 0, 0));
    EXPECT_EQ(canvas.At(10, 2), RGB(0, 10, 0));
    EXPECT_EQ(canvas.At(24, 1), RGB(40, 0, 0)); // the third copy, cut after 5 columns
    EXPECT_EQ(canvas.At(25, 1), kBackground);
    EXPECT_EQ(canvas.At(5, 0), kBackground);
    EXPECT_EQ(canvas.At(5, 3), kBackground);
}

TEST(DibDraw, TilingKeepsToTheClip) {
    Canvas canvas(30, 4);
    RECT rect{0, 0, 25, 4}, clip{12, 1, 22, 2};
    Tile(Columns(10, 4), canvas.buffer.Dc(), rect, &clip);
    EXPECT_EQ(canvas.At(11, 1), kBackground);
    EXPECT_EQ(canvas.At(12, 1), RGB(20, 10, 0));
    EXPECT_EQ(canvas.At(21, 1), RGB(10, 10, 0));
    EXPECT_EQ(canvas.At(22, 1), kBackground);
    EXPECT_EQ(canvas.At(15, 2), kBackground);
}

TEST(DibDraw, SkinKeepsCornersAndStretchesTheRest) {
    // 9 x 9: corners red, edges green, centre blue, margins 3.
    std::vector<std::uint32_t> px;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            int edges = (x < 3 || x >= 6) + (y < 3 || y >= 6);
            px.push_back(edges == 2   ? Argb(255, 255, 0, 0)
                         : edges == 1 ? Argb(255, 0, 255, 0)
                                      : Argb(255, 0, 0, 255));
        }
    CVtSkinDIB skin;
    skin.Slice(Picture(9, 9, px), {3, 3, 3, 3}, false, false);
    Canvas canvas(30, 20);
    RECT rect{2, 1, 26, 17};
    Draw(skin, canvas.buffer.Dc(), rect);
    struct Probe {
        int x, y;
        COLORREF colour;
    } probes[] = {
        {2, 1, RGB(255, 0, 0)},  {4, 3, RGB(255, 0, 0)},   {25, 16, RGB(255, 0, 0)},
        {23, 1, RGB(255, 0, 0)}, {14, 1, RGB(0, 255, 0)},  {2, 9, RGB(0, 255, 0)},
        {25, 9, RGB(0, 255, 0)}, {14, 16, RGB(0, 255, 0)}, {14, 9, RGB(0, 0, 255)},
        {5, 4, RGB(0, 0, 255)},  {1, 1, kBackground},      {26, 16, kBackground},
        {14, 17, kBackground},   {14, 0, kBackground},
    };
    // Stretched parts lose a little to the bilinear weights; corners are exact.
    for (const Probe& p : probes)
        EXPECT_TRUE(Near(canvas.At(p.x, p.y), p.colour, 3)) << p.x << "," << p.y;

    // Without margins only the centre is drawn: the whole picture stretched.
    skin.Slice(Picture(1, 1, {Argb(255, 0, 0, 255)}), {}, false, false);
    Fill(canvas.buffer, kBackground);
    Draw(skin, canvas.buffer.Dc(), rect);
    EXPECT_PRED3(Near, canvas.At(2, 1), RGB(0, 0, 255), 3);
    EXPECT_PRED3(Near, canvas.At(25, 16), RGB(0, 0, 255), 3);
    EXPECT_EQ(canvas.At(26, 16), kBackground);
}

TEST(DibDraw, DibSectionIsBottomUpWithThePixels) {
    CVtDIB image = Columns(3, 2);
    UniqueHbitmap bitmap = ToDIBSection(image);
    ASSERT_TRUE(bitmap);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(bitmap.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBmih.biHeight, 2);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(std::memcmp(dib.dsBm.bmBits, image.Pixels().data(), image.Pixels().size_bytes()), 0);
    EXPECT_FALSE(ToDIBSection(CVtDIB()));
}

TEST(DibDraw, EveryImageOfTheProgramLoadsFromItsResource) {
    struct Expect {
        const wchar_t* name;
        int width, height;
    } images[] = {
        {L"LIST-ALL-TAGS.PNG", 16, 16}, {L"LIST-TAG.PNG", 16, 16},    {L"ENCRYPTED.PNG", 24, 24},
        {L"TB-ADD.PNG", 32, 32},        {L"TB-EDIT.PNG", 32, 32},     {L"TB-DELETE.PNG", 32, 32},
        {L"SETTINGS.PNG", 32, 32},      {L"PASTE.PNG", 32, 32},       {L"DELHKICON.PNG", 24, 24},
        {L"DELHKICON20.PNG", 20, 20},   {L"DELHKICON16.PNG", 16, 16}, {L"DELHKBG.PNG", 24, 72},
        {L"ERROR.PNG", 48, 48},         {L"PASSWORD.PNG", 48, 48},    {L"LOGO.PNG", 64, 64},
    };
    HMODULE module = ::GetModuleHandleW(nullptr);
    for (const Expect& e : images) {
        SCOPED_TRACE(::testing::Message() << static_cast<const void*>(e.name));
        CVtDIB image;
        // Lookup by name is case-insensitive.
        ASSERT_TRUE(LoadFromResource(image, module, ::FindResourceW(module, e.name, L"wynlib")));
        EXPECT_EQ(image.Width(), e.width);
        EXPECT_EQ(image.Height(), e.height);
        bool drawn = std::any_of(image.Pixels().begin(), image.Pixels().end(),
                                 [](std::uint32_t p) { return (p >> 24) == 255; });
        EXPECT_TRUE(drawn);
    }
    CVtDIB image;
    EXPECT_FALSE(LoadFromResource(image, module, nullptr));
    EXPECT_FALSE(
        LoadFromResource(image, module, ::FindResourceW(module, L"MISSING.PNG", L"WYNLIB")));
}

} // namespace
} // namespace kelvo
