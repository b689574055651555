#include "ui/chunk_rows.h"

#include <algorithm>
#include <cstdlib>

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {
namespace {

int Scaled(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

int FontHeight(HDC dc, HFONT font) {
    const SelectedObject selected(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

void DrawTextIn(HDC dc, std::wstring_view text, RECT rect, UINT format) {
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect, format);
}

void FillSysColour(HDC dc, const RECT& rect, int colour) {
    ::FillRect(dc, &rect, ::GetSysColorBrush(colour));
}

constexpr UINT kOneLine = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;

int TextWidth(HDC dc, std::wstring_view text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A tag row's image and the gaps around its name and count, at 96 DPI.
constexpr int kNameLeft = 22;
constexpr int kCountGap = 6;
constexpr int kCountRight = 2;

} // namespace

int TagRowHeight(HDC dc, HFONT font, UINT dpi) {
    const SelectedObject selected(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, L"ipWX", 4, &size);
    return std::max(Scaled(20, dpi), static_cast<int>(size.cy) + Scaled(4, dpi));
}

TagRowParts LayoutTagRow(HDC dc, UINT dpi, const RECT& rect, const TagRow& row) {
    const int name_left = rect.left + Scaled(kNameLeft, dpi);
    const int count_right = rect.right - Scaled(kCountRight, dpi);
    const int count_width = TextWidth(dc, std::to_wstring(row.count));
    // The least a shortened name shows: its first letter and the ellipsis.
    const int least_name = TextWidth(dc, row.name.substr(0, 1) + L"\u2026");
    const int count_left =
        std::max(count_right - count_width, name_left + least_name + Scaled(kCountGap, dpi));
    const RECT name{name_left, rect.top, count_left - Scaled(kCountGap, dpi), rect.bottom};
    return {name,
            {count_left, rect.top, std::max(count_left, count_right), rect.bottom},
            TextWidth(dc, row.name) > name.right - name.left};
}

int TagRowsWidth(HDC dc, UINT dpi, const std::vector<TagRow>& rows, int name_cap) {
    int widest = 0;
    for (const TagRow& row : rows)
        widest =
            std::max(widest, std::min(TextWidth(dc, row.name), name_cap) + Scaled(kCountGap, dpi) +
                                 TextWidth(dc, std::to_wstring(row.count)));
    return Scaled(kNameLeft + kCountRight, dpi) + widest;
}

void PaintTagRow(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                 bool highlighted, const TagRow& row) {
    HDC dc = context.Dc();
    const SelectedObject font(dc, context.Font());
    if (highlighted)
        FillSysColour(dc, rect, COLOR_HIGHLIGHT);
    const int image = context.Scale(16);
    engine.DrawImage(dc, rect.left + context.Scale(2),
                     rect.top + (rect.bottom - rect.top - image) / 2, image, image,
                     row.is_all ? L"list-all-tags.png" : L"list-tag.png");
    const TagRowParts parts = LayoutTagRow(dc, context.Dpi(), rect, row);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextIn(dc, row.name, parts.name, kOneLine);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    DrawTextIn(dc, std::to_wstring(row.count), parts.count,
               DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

std::wstring_view LeadingLines(std::wstring_view text, int lines) {
    std::size_t end = 0;
    for (int line = 0; line < lines; ++line) {
        end = text.find(L'\n', end);
        if (end == text.npos)
            return text;
        ++end;
    }
    // Up to the last of the lines, without the line break that ends it.
    end -= 1;
    if (end > 0 && text[end - 1] == L'\r')
        --end;
    return text.substr(0, end);
}

void CChunkRowHeights::UsePlaces(unsigned revision, std::size_t count) {
    if (revision == m_placesRevision && count == m_byPlace.size())
        return;
    m_placesRevision = revision;
    m_byPlace.assign(count, 0);
}

int CChunkRowHeights::Height(HDC dc, const Ref<text_chunk>& chunk, int list_width,
                             std::size_t place) {
    if (list_width == m_width && place < m_byPlace.size() && m_byPlace[place] > 0)
        return m_byPlace[place];
    const int height = Height(dc, chunk, list_width);
    if (place < m_byPlace.size())
        m_byPlace[place] = height;
    return height;
}

void CChunkRowHeights::Forget(const text_chunk& chunk) {
    m_heights.erase(&chunk);
    std::fill(m_byPlace.begin(), m_byPlace.end(), 0);
}

void CChunkRowHeights::Clear() noexcept {
    m_heights.clear();
    std::fill(m_byPlace.begin(), m_byPlace.end(), 0);
}

void CChunkRowHeights::UseWidth(HDC dc, int list_width) {
    if (list_width == m_width)
        return;
    m_heights.clear();
    std::fill(m_byPlace.begin(), m_byPlace.end(), 0);
    m_width = list_width;
    m_titleHeight = FontHeight(dc, m_titleFont);
    const SelectedObject font(dc, TextFont());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    m_textHeight = metrics.tmHeight;
    m_textCharWidth = std::max(static_cast<int>(metrics.tmAveCharWidth), 1);
}

int CChunkRowHeights::EncryptedHeight() const noexcept {
    return std::max(m_titleHeight + Scaled(8, m_dpi), Scaled(28, m_dpi));
}

CChunkRowHeights::Estimate CChunkRowHeights::EstimateHeight(HDC dc, const Ref<text_chunk>& chunk,
                                                            int list_width, std::size_t place) {
    UseWidth(dc, list_width);
    if (place < m_byPlace.size() && m_byPlace[place] != 0)
        return {std::abs(m_byPlace[place]), m_byPlace[place] < 0};
    if (chunk->encrypted)
        return {EncryptedHeight(), false};
    if (const auto known = m_heights.find(chunk.Get()); known != m_heights.end())
        return {known->second.height, false};
    const int pad = Scaled(4, m_dpi);
    const std::size_t per_line =
        static_cast<std::size_t>(std::max((list_width - 2 * pad) / m_textCharWidth, 1));
    std::wstring_view text = LeadingLines(chunk->text, kPreviewLines);
    std::size_t lines = 0;
    while (lines < kPreviewLines) {
        const std::size_t end = std::min(text.find(L'\n'), text.size());
        std::wstring_view line = text.substr(0, end);
        if (!line.empty() && line.back() == L'\r')
            line.remove_suffix(1);
        lines += std::max<std::size_t>((line.size() + per_line - 1) / per_line, 1);
        if (end == text.size())
            break;
        text.remove_prefix(end + 1);
    }
    const int text_height =
        static_cast<int>(std::min<std::size_t>(lines, kPreviewLines)) * m_textHeight;
    const int height = m_titleHeight + 2 * pad + text_height + pad;
    if (place < m_byPlace.size())
        m_byPlace[place] = -height;
    return {height, true};
}

int CChunkRowHeights::Height(HDC dc, const Ref<text_chunk>& chunk, int list_width) {
    UseWidth(dc, list_width);
    if (chunk->encrypted)
        return EncryptedHeight();
    if (const auto known = m_heights.find(chunk.Get()); known != m_heights.end())
        return known->second.height;
    const SelectedObject font(dc, TextFont());
    const int pad = Scaled(4, m_dpi);
    RECT box{pad, 0, list_width - pad, 3};
    const auto text = LeadingLines(chunk->text, kPreviewLines);
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const int height =
        m_titleHeight + 2 * pad +
        std::min(static_cast<int>(box.bottom - box.top), kPreviewLines * m_textHeight) + pad;
    m_heights.emplace(chunk.Get(), Measured{chunk, height});
    return height;
}

void CChunkRowHeights::SetScale(HFONT title_font, HFONT text_font, UINT dpi) {
    m_titleFont = title_font;
    m_textFont = text_font;
    m_dpi = dpi;
    m_width = -1;
    Clear();
}

HFONT CChunkRowHeights::TextFont() const noexcept {
    return m_textFont ? m_textFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

bool ChunkTitleCut(HDC dc, UINT dpi, const RECT& rect, const text_chunk& chunk, HFONT title_font) {
    // The title's room as PaintChunkRow gives it: inside the padding, and
    // right of the lock for an encrypted chunk.
    const int pad = Scaled(4, dpi);
    const int left = chunk.encrypted ? Scaled(24, dpi) + 2 * pad : pad;
    const SelectedObject font(dc, title_font);
    return TextWidth(dc, chunk.title) > rect.right - rect.left - left - pad;
}

void PaintChunkRow(const CPaintContext& context, CWynEngine& engine, const RECT& rect, int index,
                   bool highlighted, const text_chunk& chunk, HFONT title_font) {
    HDC dc = context.Dc();
    if (highlighted) {
        FillSysColour(dc, rect, COLOR_HIGHLIGHT);
    } else if (index % 2 != 0) {
        const COLORREF window = ::GetSysColor(COLOR_WINDOW);
        const auto darker = [](BYTE channel) {
            return static_cast<BYTE>(std::max(channel - 20, 0));
        };
        context.SetColour(
            RGB(darker(GetRValue(window)), darker(GetGValue(window)), darker(GetBValue(window))));
        cairo_rectangle(context.Cairo(), rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top);
        cairo_fill(context.Cairo());
    }
    dc = context.Dc(); // the cairo fill finished
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const SelectedObject font(dc, title_font);
    const int pad = context.Scale(4);
    if (chunk.encrypted) {
        const int lock = context.Scale(24);
        DrawTextIn(dc, chunk.title,
                   {rect.left + lock + 2 * pad, rect.top, rect.right - pad, rect.bottom}, kOneLine);
        engine.DrawImage(dc, rect.left + pad, rect.top + (rect.bottom - rect.top - lock) / 2, lock,
                         lock, L"encrypted.png");
        return;
    }
    const int title_height = FontHeight(dc, title_font);
    DrawTextIn(dc, chunk.title,
               {rect.left + pad, rect.top, rect.right - pad, rect.top + 2 * pad + title_height},
               kOneLine);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    const SelectedObject text_font(dc, context.Font());
    DrawTextIn(
        dc, LeadingLines(chunk.text, kPreviewLines),
        {rect.left + pad, rect.top + 2 * pad + title_height, rect.right - pad, rect.bottom - pad},
        DT_WORDBREAK | DT_NOPREFIX);
}

} // namespace kelvo
