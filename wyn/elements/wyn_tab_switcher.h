#pragma once
// "tabswitcher" with its "tab" pages: a column of page titles (each with its
// `icon`) at the left, a caption band above the page, and the active page
// below it; the other pages are hidden. A click on a title, the value (the
// active page's index), the text value (the active page's id) or the
// commands "next" and "back" switch pages; "help" opens the active page's
// `helpTopic`. Switching makes the pages raise "tab-deactivate", then
// "tab-init" (first time only) and "tab-activate".

#include <optional>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "base/window_binding.h"
#include "wyn/engine/wyn_element.h"

class CWynTab : public CWynElement {
public:
    using CWynElement::CWynElement;

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    // The `value` attribute.
    int GetIntValue() override;
    // Once the page was active.
    bool IsLive() override;

    void Activate();
    void Deactivate();

    const std::wstring& Label() const noexcept { return m_label; }
    // The caption band's text: `caption`, else the label.
    const std::wstring& Caption() const noexcept { return m_caption ? *m_caption : m_label; }
    const std::optional<std::wstring>& Icon() const noexcept { return m_icon; }
    const std::optional<std::wstring>& HelpTopic() const noexcept { return m_helpTopic; }
    bool Selected() const noexcept { return m_selected; }

private:
    std::wstring m_label;
    std::optional<std::wstring> m_caption;
    std::optional<std::wstring> m_icon;
    std::optional<std::wstring> m_helpTopic;
    bool m_selected = false;
    bool m_setFocus = false;
    int m_value = 0;
    bool m_opened = false;
};

class CWynTabSwitcher : public CWynElement {
public:
    CWynTabSwitcher(CWynElement* parent, CWynEngine* engine);

    bool IsType(std::wstring_view name, CWynElement*& element) override;
    bool Parse(IXMLDOMNode* node) override;
    void Create() override;
    void UpdatePixels() override;
    SIZE Measure() const override;
    int HeightForWidth(int width) const override;
    void CalculateLayout(const Rect& rect, CWynLayout& layout) const override;
    // The pages' controls live in the dialog, not in the title column.
    HWND GetWindow() const override;
    void ApplyVisibility() override;
    int GetIntValue() override;
    void SetIntValue(int value) override;
    const wchar_t* GetTextValue() override;
    void SetTextValue(const wchar_t* text) override;
    void DoCommand(const wchar_t* command) override;

    // The title column and the caption band.
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::vector<CWynTab*> Tabs() const;
    void Select(int index);
    int EntryHeight() const;
    // The entries' image size, given at 96 DPI.
    int ImageSize() const { return Scale(m_imageSize); }
    int ColumnWidth() const;
    int CaptionHeight() const;
    // Pages that high with the caption band above them, and room for the
    // column's entries.
    int OuterHeight(int pages_height) const;
    HFONT BoldFont();
    void PaintColumn(HDC dc, const RECT& client);
    void PaintCaption(HDC dc, const RECT& client);

    bool m_imageTop = false; // icons above the titles instead of left of them
    int m_imageSize = 16;
    bool m_showSwitcher = true;
    bool m_showCaption = true;
    int m_active = -1;
    HWND m_captionWindow = nullptr;
    std::optional<std::wstring> m_activeId;
    kelvo::UniqueHfont m_boldFont;
    kelvo::COwnWindow m_ownWindow;
    kelvo::COwnWindow m_ownCaption;
};
