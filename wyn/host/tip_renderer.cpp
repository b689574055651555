#include "wyn/host/tip_renderer.h"

#include <algorithm>
#include <cwchar>

#include "base/utf16.h"

namespace {

// Heading sizes relative to the body text, largest first.
constexpr int kHeadingPercent[7] = {100, 200, 150, 117, 100, 83, 67};

struct LineItem {
    int x = 0;
    int heading = 0;
    int ascent = 0;
    std::wstring text;
};

class LineBuilder {
public:
    LineBuilder(HDC dc, int left, int top, int right, std::vector<CWynTipRenderer::Run>& runs)
        : m_dc(dc), m_left(left), m_right(right), m_top(top), m_x(left), m_runs(runs) {}

    // `font` is selected into the device context by the caller.
    void Add(std::wstring_view text, int heading, const TEXTMETRICW& metrics) {
        std::size_t start = 0;
        while (start < text.size()) {
            // A word with the spaces before it; no space starts a line.
            std::size_t word = start;
            while (word < text.size() && text[word] == L' ')
                ++word;
            std::size_t end = word;
            while (end < text.size() && text[end] != L' ')
                ++end;
            Word(
                text.substr(m_items.empty() ? word : start, end - (m_items.empty() ? word : start)),
                heading, metrics);
            start = end;
        }
    }

    void EndLine(const TEXTMETRICW& empty_line) {
        const int ascent = m_items.empty() ? empty_line.tmAscent : m_ascent;
        const int descent = m_items.empty() ? empty_line.tmDescent : m_descent;
        // Every item on the line shares its baseline.
        for (LineItem& item : m_items)
            m_runs.push_back(
                {item.x, m_top + ascent - item.ascent, item.heading, std::move(item.text)});
        m_top += ascent + descent;
        m_items.clear();
        m_ascent = m_descent = 0;
        m_x = m_left;
    }

    bool LineEmpty() const { return m_items.empty(); }
    int Top() const { return m_top; }

private:
    int Width(std::wstring_view text) const {
        SIZE size{};
        ::GetTextExtentPoint32W(m_dc, text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

    void Word(std::wstring_view piece, int heading, const TEXTMETRICW& metrics) {
        if (piece.empty())
            return;
        int width = Width(piece);
        if (m_x + width > m_right && !m_items.empty()) {
            EndLine(metrics);
            piece.remove_prefix(std::min(piece.find_first_not_of(L' '), piece.size()));
            if (piece.empty())
                return;
            width = Width(piece);
        }
        // Too long for a whole line: as many characters as fit, then the rest.
        while (width > m_right - m_x && piece.size() > 1) {
            std::size_t fit = 1;
            while (fit < piece.size() && m_x + Width(piece.substr(0, fit + 1)) <= m_right)
                ++fit;
            Place(piece.substr(0, fit), Width(piece.substr(0, fit)), heading, metrics);
            EndLine(metrics);
            piece.remove_prefix(fit);
            width = Width(piece);
        }
        Place(piece, width, heading, metrics);
    }

    void Place(std::wstring_view text, int width, int heading, const TEXTMETRICW& metrics) {
        m_items.push_back({m_x, heading, metrics.tmAscent, std::wstring(text)});
        m_ascent = std::max<int>(m_ascent, metrics.tmAscent);
        m_descent = std::max<int>(m_descent, metrics.tmDescent);
        m_x += width;
    }

    HDC m_dc;
    int m_left;
    int m_right;
    int m_top;
    int m_x;
    int m_ascent = 0;
    int m_descent = 0;
    std::vector<LineItem> m_items;
    std::vector<CWynTipRenderer::Run>& m_runs;
};

} // namespace

void CWynTipRenderer::SetMarkup(std::wstring_view markup, const wchar_t* face_name, int height,
                                COLORREF color) {
    m_tokens = kelvo::ParseTipMarkup(kelvo::AsU16(markup));
    m_base = {};
    m_base.lfHeight = height;
    m_base.lfWeight = FW_NORMAL;
    m_base.lfCharSet = DEFAULT_CHARSET;
    if (face_name)
        std::wcsncpy(m_base.lfFaceName, face_name, LF_FACESIZE - 1);
    m_color = color;
    for (auto& font : m_fonts)
        font.Reset();
    m_runs.clear();
}

HFONT CWynTipRenderer::Font(int heading) {
    heading = std::clamp(heading, 0, 6);
    if (!m_fonts[heading]) {
        LOGFONTW lf = m_base;
        lf.lfHeight = ::MulDiv(m_base.lfHeight, kHeadingPercent[heading], 100);
        if (heading > 0)
            lf.lfWeight = FW_BOLD;
        m_fonts[heading].Reset(::CreateFontIndirectW(&lf));
    }
    return m_fonts[heading] ? m_fonts[heading].Get()
                            : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int CWynTipRenderer::Layout(int left, int top, int right) {
    m_runs.clear();
    kelvo::WindowDc dc(nullptr);
    if (!dc)
        return top;
    TEXTMETRICW body{};
    {
        kelvo::SelectedObject font(dc.Get(), Font(0));
        ::GetTextMetricsW(dc.Get(), &body);
    }
    LineBuilder lines(dc.Get(), left, top, std::max(right, left + 1), m_runs);
    TEXTMETRICW last = body;
    for (const kelvo::TipToken& token : m_tokens) {
        if (token.kind == kelvo::TipToken::Kind::kBreak) {
            lines.EndLine(last);
            continue;
        }
        kelvo::SelectedObject font(dc.Get(), Font(token.heading));
        ::GetTextMetricsW(dc.Get(), &last);
        lines.Add(kelvo::AsWide(token.text), token.heading, last);
    }
    if (!lines.LineEmpty())
        lines.EndLine(last);
    return lines.Top();
}

void CWynTipRenderer::Draw(HDC dc) const {
    const int old_mode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF old_color = ::SetTextColor(dc, m_color);
    for (const Run& run : m_runs) {
        const HFONT font = m_fonts[std::clamp(run.heading, 0, 6)].Get();
        kelvo::SelectedObject selected(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::TextOutW(dc, run.x, run.y, run.text.data(), static_cast<int>(run.text.size()));
    }
    ::SetTextColor(dc, old_color);
    ::SetBkMode(dc, old_mode);
}
