#include "ui/chunk_rows.h"

#include <algorithm>

#include "base/win_handles.h"
#include "wyn/engine/wyn_engine.h"

namespace kelvo {
namespace {

HFONT GuiFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
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

} // namespace

int TagRowHeight(HDC dc) {
    const SelectedObject selected(dc, GuiFont());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, L"ipWX", 4, &size);
    return std::max(20, static_cast<int>(size.cy) + 4);
}

void PaintTagRow(const CPaintContext& context, CWynEngine& engine, const RECT& rect,
                 bool highlighted, const TagRow& row) {
    HDC dc = context.Dc();
    const SelectedObject font(dc, GuiFont());
    if (highlighted)
        FillSysColour(dc, rect, COLOR_HIGHLIGHT);
    engine.DrawImage(dc, rect.left + 2, rect.top + (rect.bottom - rect.top) / 2 - 8, 16, 16,
                     row.is_all ? L"list-all-tags.png" : L"list-tag.png");
    SIZE count_width{};
    ::GetTextExtentPoint32W(dc, L"00000", 5, &count_width);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextIn(dc, row.name, {rect.left + 22, rect.top, rect.right - count_width.cx, rect.bottom},
               kOneLine);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    DrawTextIn(dc, std::to_wstring(row.count),
               {rect.right - count_width.cx, rect.top, rect.right - 2, rect.bottom},
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

int CChunkRowHeights::Height(HDC dc, const Ref<text_chunk>& chunk, int list_width) {
    if (list_width != m_width) {
        m_heights.clear();
        m_width = list_width;
        m_titleHeight = FontHeight(dc, m_titleFont);
        m_textHeight = FontHeight(dc, GuiFont());
    }
    if (chunk->encrypted)
        return std::max(m_titleHeight + 8, 28);
    const auto [known, added] = m_heights.try_emplace(chunk.Get(), Measured{chunk, 0});
    if (added) {
        const SelectedObject font(dc, GuiFont());
        RECT box{4, 0, list_width - 4, 3};
        const auto text = LeadingLines(chunk->text, kPreviewLines);
        ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        known->second.height =
            m_titleHeight + 8 +
            std::min(static_cast<int>(box.bottom - box.top), kPreviewLines * m_textHeight) + 4;
    }
    return known->second.height;
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
    if (chunk.encrypted) {
        DrawTextIn(dc, chunk.title, {rect.left + 32, rect.top, rect.right - 4, rect.bottom},
                   kOneLine);
        engine.DrawImage(dc, rect.left + 4, rect.top + (rect.bottom - rect.top) / 2 - 12, 24, 24,
                         L"encrypted.png");
        return;
    }
    const int title_height = FontHeight(dc, title_font);
    DrawTextIn(dc, chunk.title,
               {rect.left + 4, rect.top, rect.right - 4, rect.top + 8 + title_height}, kOneLine);
    ::SetTextColor(dc, ::GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
    const SelectedObject text_font(dc, GuiFont());
    DrawTextIn(dc, LeadingLines(chunk.text, kPreviewLines),
               {rect.left + 4, rect.top + 8 + title_height, rect.right - 4, rect.bottom - 4},
               DT_WORDBREAK | DT_NOPREFIX);
}

} // namespace kelvo
