#pragma once
// The rows of the main window's two lists: a tag row (its image, name and
// count) and a chunk row (its title and up to ten lines of its text, or for
// an encrypted chunk its title beside a lock), their heights and painting.

#include <windows.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "draw/paint_buffer.h"
#include "library/text_chunk.h"

class CWynEngine;

namespace kelvo {

// The most lines of a chunk's text that its row shows.
inline constexpr int kPreviewLines = 10;

// An item of the tag list: the first row stands for every chunk found.
struct TagRow {
    std::wstring name;
    int count = 0;
    bool is_all = false;
};

// Pixel values below are at 96 DPI, scaled to the DPI the rows are for;
// painters take it and the text font from their context.

// With `font`: the height of "ipWX" and 4 pixels, at least 20.
int TagRowHeight(HDC dc, HFONT font, UINT dpi);
// Where a tag row shows its name and its count: the count whole against the
// right edge, the name in the room left of it, shortened with an ellipsis
// when it does not fit; the count gives way only to the name's first letter
// and the ellipsis. `dc` has the row font selected.
struct TagRowParts {
    RECT name;
    RECT count;
    bool name_cut; // the name shows shortened
};
TagRowParts LayoutTagRow(HDC dc, UINT dpi, const RECT& rect, const TagRow& row);
void PaintTagRow(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                 bool highlighted, const TagRow& row);
// The row width that shows every row's name and count whole, a name counted
// at most `name_cap` pixels wide. `dc` has the row font selected.
int TagRowsWidth(HDC dc, UINT dpi, const std::vector<TagRow>& rows, int name_cap);

// The first `lines` lines of the text: a line past them cannot change what a
// row of that many lines shows, so they are neither measured nor drawn.
std::wstring_view LeadingLines(std::wstring_view text, int lines);

// Chunk row heights, measured once per chunk and list width: a row is
// measured again only after its chunk was changed (Forget) or the width
// changed.
class CChunkRowHeights {
public:
    // `title_font`: the font of chunk titles, which the owner keeps alive.
    explicit CChunkRowHeights(HFONT title_font) noexcept : m_titleFont(title_font) {}

    // An encrypted chunk: the title font's height and 8, at least 28. A plain
    // one: that, the height of its text word-wrapped to `list_width` less 8
    // pixels (at most ten lines of the text font), and 4.
    int Height(HDC dc, const Ref<text_chunk>& chunk, int list_width);
    // The same, also kept by the chunk's place in an order of `count`
    // chunks named `revision` (the finder's title order), where it is
    // looked up without hashing: a refill asks for every row found.
    void UsePlaces(unsigned revision, std::size_t count);
    int Height(HDC dc, const Ref<text_chunk>& chunk, int list_width, std::size_t place);
    // The height measured, or else, for a plain chunk, estimated from its
    // text without drawing it: each of its first ten lines takes as many
    // lines as its characters at the text font's average width need, at most
    // ten lines in all. A list lays out every row with it and measures the
    // rows it shows.
    struct Estimate {
        int height;
        bool estimated;
    };
    Estimate EstimateHeight(HDC dc, const Ref<text_chunk>& chunk, int list_width,
                            std::size_t place);
    void Forget(const text_chunk& chunk);
    void Clear() noexcept;
    // New fonts and DPI (the text font null: the stock GUI font); every row
    // is measured again.
    void SetScale(HFONT title_font, HFONT text_font, UINT dpi);

private:
    HFONT TextFont() const noexcept;
    // Forgets every height when the width changed, and takes the fonts'
    // metrics for the new one.
    void UseWidth(HDC dc, int list_width);
    int EncryptedHeight() const noexcept;

    HFONT m_titleFont;
    HFONT m_textFont = nullptr;
    UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
    int m_width = -1;
    int m_titleHeight = 0; // tmHeight of the two fonts, taken with the width
    int m_textHeight = 0;
    int m_textCharWidth = 1; // tmAveCharWidth of the text font
    struct Measured {
        Ref<text_chunk> chunk; // held, so that no other chunk takes its address
        int height;
    };
    std::unordered_map<const text_chunk*, Measured> m_heights;
    unsigned m_placesRevision = 0;
    std::vector<int> m_byPlace; // 0: not known; below 0: the estimate, negated
};

// Whether the chunk row of that rectangle shows the title shortened.
bool ChunkTitleCut(HDC dc, UINT dpi, const RECT& rect, const text_chunk& chunk, HFONT title_font);

// Odd rows are darker than even ones; a highlighted row takes the highlight
// colours whatever its index.
void PaintChunkRow(const CPaintContext& context, CWynEngine& engine, const RECT& rect, int index,
                   bool highlighted, const text_chunk& chunk, HFONT title_font);

} // namespace kelvo
