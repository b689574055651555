#include "ui/chunk_rows.h"

#include <gtest/gtest.h>

#include "base/win_handles.h"
#include "draw/test_buffer.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/testing/test_tree.h"

namespace kelvo {
namespace {

using testing::Near;
using testing::PixelAt;

TEST(LeadingLines, KeepsUpToTheLastLineShownWithoutItsBreak) {
    const struct {
        std::wstring_view text;
        int lines;
        std::wstring_view expected;
    } cases[] = {
        {L"", 2, L""},
        {L"one", 2, L"one"},
        {L"one\r\ntwo", 2, L"one\r\ntwo"},
        {L"one\r\ntwo\r\n", 2, L"one\r\ntwo"},
        {L"one\r\ntwo\r\nthree", 2, L"one\r\ntwo"},
        {L"a\nb\nc", 2, L"a\nb"},
        {L"\r\n\r\n\r\n", 2, L"\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LeadingLines(c.text, c.lines), c.expected) << c.lines;
}

// A memory DC with the stock GUI font's height and a bold title font.
class ChunkRowTest : public ::testing::Test {
protected:
    static int HeightOf(HDC dc, HFONT font) {
        const SelectedObject selected(dc, font);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        return metrics.tmHeight;
    }
    static UniqueHfont MakeTitleFont() {
        LOGFONTW font{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        font.lfHeight = font.lfHeight * 4 / 3;
        return UniqueHfont(::CreateFontIndirectW(&font));
    }
    static Ref<text_chunk> Chunk(std::wstring text, bool encrypted = false) {
        auto chunk = MakeRef<text_chunk>(std::move(text), L"A title");
        chunk->encrypted = encrypted;
        return chunk;
    }

    UniqueHdc m_dc{::CreateCompatibleDC(nullptr)};
    UniqueHfont m_titleFont = MakeTitleFont();
    CChunkRowHeights m_heights{m_titleFont.Get()};
    int m_title = HeightOf(m_dc.Get(), m_titleFont.Get());
    int m_line = HeightOf(m_dc.Get(), static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
};

TEST_F(ChunkRowTest, HeightsFollowTheTextUpToTenLines) {
    std::wstring thirty_lines;
    for (int i = 0; i < 30; ++i)
        thirty_lines += L"line\r\n";
    EXPECT_EQ(m_heights.Height(m_dc.Get(), Chunk(L"one line"), 300), m_title + 8 + m_line + 4);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), Chunk(L"a\r\nb\r\nc"), 300),
              m_title + 8 + 3 * m_line + 4);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), Chunk(thirty_lines), 300),
              m_title + 8 + 10 * m_line + 4);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), Chunk(thirty_lines, true), 300),
              std::max(m_title + 8, 28));
}

TEST_F(ChunkRowTest, ARowIsMeasuredAgainOnlyWhenItsChunkOrTheWidthChanged) {
    auto chunk = Chunk(L"one line");
    const int one_line = m_heights.Height(m_dc.Get(), chunk, 300);
    chunk->text = L"one\r\ntwo";
    EXPECT_EQ(m_heights.Height(m_dc.Get(), chunk, 300), one_line) << "kept";
    m_heights.Forget(*chunk);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), chunk, 300), one_line + m_line);
    chunk->text = L"many words that wrap in a narrow list";
    m_heights.Forget(*chunk);
    const int wide = m_heights.Height(m_dc.Get(), chunk, 1000);
    EXPECT_GT(m_heights.Height(m_dc.Get(), chunk, 60), wide) << "a new width measures again";
}

TEST_F(ChunkRowTest, AHeightKeptByPlaceHoldsOnlyForTheOrderAndChunkItWasMeasuredIn) {
    auto one = Chunk(L"one line");
    auto three = Chunk(L"a\r\nb\r\nc");
    const int one_line = m_title + 8 + m_line + 4;
    m_heights.UsePlaces(1, 2);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), one, 300, 0), one_line);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), three, 300, 1), one_line + 2 * m_line);
    m_heights.UsePlaces(2, 2); // another order: the chunks changed places
    EXPECT_EQ(m_heights.Height(m_dc.Get(), three, 300, 0), one_line + 2 * m_line);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), one, 300, 1), one_line);
    three->text = L"one";
    m_heights.Forget(*three);
    EXPECT_EQ(m_heights.Height(m_dc.Get(), three, 300, 0), one_line) << "changed: measured again";
    EXPECT_EQ(m_heights.Height(m_dc.Get(), one, 300, 5), one_line) << "outside the order";
}

TEST_F(ChunkRowTest, AnEstimateCountsLinesAndWrapsUntilTheRowIsMeasured) {
    std::wstring thirty_lines;
    for (int i = 0; i < 30; ++i)
        thirty_lines += L"line\r\n";
    const std::wstring long_line(400, L'x');
    const std::vector<Ref<text_chunk>> chunks{Chunk(L"one line"), Chunk(L"a\r\nb\r\nc"),
                                              Chunk(thirty_lines), Chunk(long_line),
                                              Chunk(thirty_lines, true)};
    m_heights.UsePlaces(1, chunks.size());
    const int one_line = m_title + 8 + m_line + 4;
    const struct {
        int lines; // of text; 0: not told apart here
        bool estimated;
    } expected[] = {{1, true}, {3, true}, {10, true}, {0, true}, {0, false}};
    for (std::size_t place = 0; place < chunks.size(); ++place) {
        const auto estimate = m_heights.EstimateHeight(m_dc.Get(), chunks[place], 300, place);
        EXPECT_EQ(estimate.estimated, expected[place].estimated) << place;
        if (expected[place].lines > 0) {
            EXPECT_EQ(estimate.height, one_line + (expected[place].lines - 1) * m_line) << place;
        }
    }
    const auto wrapped = m_heights.EstimateHeight(m_dc.Get(), chunks[3], 300, 3).height;
    EXPECT_GT(wrapped, one_line + m_line) << "a long line wraps";
    EXPECT_LE(wrapped, one_line + 9 * m_line);
    EXPECT_EQ(m_heights.EstimateHeight(m_dc.Get(), chunks[4], 300, 4).height,
              m_heights.Height(m_dc.Get(), chunks[4], 300, 4));
    const int measured = m_heights.Height(m_dc.Get(), chunks[3], 300, 3);
    const auto after = m_heights.EstimateHeight(m_dc.Get(), chunks[3], 300, 3);
    EXPECT_FALSE(after.estimated) << "measured: the exact height from then on";
    EXPECT_EQ(after.height, measured);
    EXPECT_GT(m_heights.EstimateHeight(m_dc.Get(), chunks[3], 60, 3).height, measured)
        << "a narrower list estimates again";
}

class RowPaintTest : public ChunkRowTest {
protected:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 60;

    // The row painted over the window colour in a fresh buffer.
    const CPaintBuffer& Paint(const std::function<void(const CPaintContext&)>& paint) {
        EXPECT_TRUE(m_buffer.Create(kWidth, kHeight));
        testing::Fill(m_buffer, ::GetSysColor(COLOR_WINDOW));
        const CPaintContext context(m_buffer, {0, 0});
        paint(context);
        context.Flush();
        return m_buffer;
    }
    // Whether any pixel of the area differs from `colour`.
    bool Marked(const RECT& area, COLORREF colour) const {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (PixelAt(m_buffer, x, y) != colour)
                    return true;
        return false;
    }

    CkvWynEngine m_engine{wyn_test::Module()};
    CPaintBuffer m_buffer;
    const RECT m_row{0, 0, kWidth, kHeight};
};

TEST_F(RowPaintTest, OddRowsAreDarkerAndTheHighlightWinsWhateverTheIndex) {
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF darker =
        RGB(std::max(GetRValue(window) - 20, 0), std::max(GetGValue(window) - 20, 0),
            std::max(GetBValue(window) - 20, 0));
    const auto chunk = Chunk(L"text");
    const struct {
        int index;
        bool highlighted;
        COLORREF corner;
    } cases[] = {
        {0, false, window},
        {1, false, darker},
        {0, true, ::GetSysColor(COLOR_HIGHLIGHT)},
        {1, true, ::GetSysColor(COLOR_HIGHLIGHT)},
    };
    for (const auto& c : cases) {
        Paint([&](const CPaintContext& context) {
            PaintChunkRow(context, m_engine, m_row, c.index, c.highlighted, *chunk,
                          m_titleFont.Get());
        });
        EXPECT_TRUE(Near(PixelAt(m_buffer, kWidth - 1, kHeight - 1), c.corner))
            << c.index << " " << c.highlighted;
    }
}

TEST_F(RowPaintTest, AnEncryptedRowShowsItsTitleBesideTheLockAndNoText) {
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const auto secret = Chunk(L"ciphertext that must not show", true);
    Paint([&](const CPaintContext& context) {
        PaintChunkRow(context, m_engine, m_row, 0, false, *secret, m_titleFont.Get());
    });
    EXPECT_TRUE(Marked({4, kHeight / 2 - 12, 28, kHeight / 2 + 12}, window)) << "the lock";
    EXPECT_TRUE(Marked({32, 0, kWidth, kHeight}, window)) << "the title";
    // The text's place under the title stays empty.
    EXPECT_FALSE(Marked({0, kHeight / 2 + 12, kWidth, kHeight}, window));

    const auto plain = Chunk(L"visible text");
    Paint([&](const CPaintContext& context) {
        PaintChunkRow(context, m_engine, m_row, 0, false, *plain, m_titleFont.Get());
    });
    EXPECT_TRUE(Marked({4, 8 + m_title, kWidth, kHeight}, window)) << "a plain row's text";
}

TEST_F(RowPaintTest, ATagRowShowsItsImageNameAndCount) {
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    // The 16-pixel image of a row painted without highlight.
    const auto image_of = [&](const TagRow& row) {
        Paint([&](const CPaintContext& context) {
            PaintTagRow(context, m_engine, {0, 0, kWidth, 20}, false, row);
        });
        std::vector<COLORREF> image;
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < 18; ++x)
                image.push_back(PixelAt(m_buffer, x, y));
        return image;
    };
    const auto tag_image = image_of({L"", 7, false});
    EXPECT_NE(image_of({L"all chunks", 12345, true}), tag_image) << "each row kind has its image";
    EXPECT_TRUE(Marked({22, 0, kWidth / 2, 20}, window)) << "the name";
    EXPECT_TRUE(Marked({kWidth - 40, 0, kWidth, 20}, window)) << "the count";

    Paint([&](const CPaintContext& context) {
        PaintTagRow(context, m_engine, {0, 0, kWidth, 20}, true, {L"work", 3, false});
    });
    EXPECT_EQ(PixelAt(m_buffer, kWidth / 2, 1), ::GetSysColor(COLOR_HIGHLIGHT));
}

} // namespace
} // namespace kelvo
