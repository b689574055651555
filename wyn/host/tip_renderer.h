#pragma once
// Lays out and draws the mark-up of a context-help tip (wyn/tip_markup.h):
// headings in bold at their sizes, line breaks, and text wrapped at word
// boundaries (a word too long for a line is broken between characters).

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/win_handles.h"
#include "wyn/host/tip_markup.h"

class CWynTipRenderer {
public:
    // The mark-up and the face, character height (as in LOGFONT) and colour of
    // its body text. Drops any earlier layout.
    void SetMarkup(std::wstring_view markup, const wchar_t* face_name, int height, COLORREF color);
    // Lays the text out from `top` between `left` and `right`; answers the
    // bottom of the last line.
    int Layout(int left, int top, int right);
    // The laid-out text, transparent over what the device context holds.
    void Draw(HDC dc) const;

    struct Run {
        int x = 0;
        int y = 0;
        int heading = 0;
        std::wstring text;
    };
    const std::vector<Run>& Runs() const noexcept { return m_runs; }

private:
    HFONT Font(int heading);

    std::vector<kelvo::TipToken> m_tokens;
    LOGFONTW m_base{};
    COLORREF m_color = 0;
    // Body text and the six heading levels, made when first needed.
    std::array<kelvo::UniqueHfont, 7> m_fonts;
    std::vector<Run> m_runs;
};
