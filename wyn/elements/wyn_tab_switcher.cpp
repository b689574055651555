#include "wyn/elements/wyn_tab_switcher.h"

#include <windowsx.h>

#include <algorithm>

#include "draw/paint_buffer.h"
#include "wyn/engine/no_case.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kColumnClass[] = L"WYN_TAB_SWITCHER_WINDOW";
constexpr wchar_t kCaptionClass[] = L"WYN_TAB_CAPTION_WINDOW";
constexpr wchar_t kColumnProperty[] = L"CWynTabSwitcher_this";
constexpr wchar_t kCaptionProperty[] = L"CWynTabCaption_this";
constexpr int kPadding = 6;

} // namespace

bool CWynTab::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"tab", name, element);
}

bool CWynTab::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_label = GetLocalizedAttribute(node, L"label").value_or(L"");
    m_caption = attributes.Text(L"caption");
    m_icon = attributes.Text(L"icon");
    m_helpTopic = attributes.Text(L"helpTopic");
    m_selected = attributes.Bool(L"selected");
    m_setFocus = attributes.Bool(L"setFocus");
    m_value = attributes.Int(L"value", 0);
    return true;
}

int CWynTab::GetIntValue() {
    return m_value;
}

bool CWynTab::IsLive() {
    return m_opened && CWynElement::IsLive();
}

void CWynTab::Activate() {
    m_hidden = false;
    if (!m_opened) {
        m_opened = true;
        RaiseEvent(L"tab-init");
    }
    RaiseEvent(L"tab-activate");
    ApplyVisibility();
    if (m_setFocus)
        FocusFirst();
}

void CWynTab::Deactivate() {
    m_hidden = true;
    RaiseEvent(L"tab-deactivate");
    ApplyVisibility();
}

CWynTabSwitcher::CWynTabSwitcher(CWynElement* parent, CWynEngine* engine)
    : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kColumnClass,
        &kelvo::OwnWindowProc<kColumnProperty, &CWynTabSwitcher::WindowProc,
                              &CWynTabSwitcher::m_hWnd, &CWynTabSwitcher::m_ownWindow>,
        CS_HREDRAW | CS_VREDRAW));
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kCaptionClass,
        &kelvo::OwnWindowProc<kCaptionProperty, &CWynTabSwitcher::CaptionProc,
                              &CWynTabSwitcher::m_captionWindow, &CWynTabSwitcher::m_ownCaption>,
        CS_HREDRAW | CS_VREDRAW));
}

bool CWynTabSwitcher::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"tabswitcher", name, element);
}

bool CWynTabSwitcher::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_imageTop = attributes.Enum(L"imageAlign", {L"left", L"top"}, 0) == 1;
    m_imageSize = std::clamp(attributes.Int(L"imageSize", 16), 0, 256);
    m_showSwitcher = attributes.BoolDefaultTrue(L"showSwitcher");
    m_showCaption = attributes.BoolDefaultTrue(L"showCaption");
    return true;
}

void CWynTabSwitcher::Create() {
    const std::vector<CWynTab*> tabs = Tabs();
    m_active = tabs.empty() ? -1 : 0;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i]->Selected()) {
            m_active = static_cast<int>(i);
            break;
        }
    }
    // Only the active page's windows are made visible.
    for (std::size_t i = 0; i < tabs.size(); ++i)
        tabs[i]->SetHidden(static_cast<int>(i) != m_active);
    if (m_showSwitcher) {
        kelvo::ControlWindow control;
        control.windowClass = kColumnClass;
        control.createParam = this;
        kelvo::CreateControlWindow(*this, control);
    }
    if (m_showCaption) {
        kelvo::ControlWindow control;
        control.windowClass = kCaptionClass;
        control.createParam = this;
        control.controlId = 0;
        kelvo::CreateControlWindow(*this, control);
    }
    CWynElement::Create();
    if (m_active >= 0)
        tabs[static_cast<std::size_t>(m_active)]->Activate();
}

SIZE CWynTabSwitcher::Measure() const {
    int width = 0, height = 0;
    for (CWynTab* tab : Tabs()) {
        const SIZE natural = tab->Measure();
        width = std::max<int>(width, natural.cx);
        height = std::max<int>(height, natural.cy);
    }
    return {std::max(ColumnWidth() + width, m_pixels.minWidth), OuterHeight(height)};
}

int CWynTabSwitcher::HeightForWidth(int width) const {
    const int pages_width = std::max(width - ColumnWidth(), 0);
    int height = 0;
    for (CWynTab* tab : Tabs())
        height = std::max(height, tab->HeightForWidth(pages_width));
    return OuterHeight(height);
}

int CWynTabSwitcher::OuterHeight(int pages_height) const {
    const int entries = m_showSwitcher ? static_cast<int>(Tabs().size()) * EntryHeight() : 0;
    return std::max({pages_height + CaptionHeight(), entries, m_pixels.minHeight});
}

void CWynTabSwitcher::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    const int column = ColumnWidth();
    const int caption = CaptionHeight();
    if (m_hWnd)
        layout.moves.push_back({m_hWnd, {rect.left, rect.top, column, rect.height}});
    if (m_captionWindow)
        layout.moves.push_back(
            {m_captionWindow, {rect.left + column, rect.top, rect.width - column, caption}});
    const Rect pages{rect.left + column, rect.top + caption, std::max(rect.width - column, 0),
                     std::max(rect.height - caption, 0)};
    for (CWynTab* tab : Tabs()) {
        layout.placements.push_back({tab, pages});
        tab->CalculateLayout(pages, layout);
    }
}

HWND CWynTabSwitcher::GetWindow() const {
    return m_parent ? m_parent->GetWindow() : nullptr;
}

void CWynTabSwitcher::ApplyVisibility() {
    if (m_captionWindow)
        ::ShowWindow(m_captionWindow, IsHidden() ? SW_HIDE : SW_SHOW);
    CWynElement::ApplyVisibility();
}

int CWynTabSwitcher::GetIntValue() {
    return m_active;
}

void CWynTabSwitcher::SetIntValue(int value) {
    Select(value);
}

const wchar_t* CWynTabSwitcher::GetTextValue() {
    const std::vector<CWynTab*> tabs = Tabs();
    if (m_active < 0 || m_active >= static_cast<int>(tabs.size()))
        return nullptr;
    m_activeId = tabs[static_cast<std::size_t>(m_active)]->Id();
    return m_activeId ? m_activeId->c_str() : nullptr;
}

void CWynTabSwitcher::SetTextValue(const wchar_t* text) {
    if (!text)
        return;
    const std::vector<CWynTab*> tabs = Tabs();
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i]->Id() && kelvo::EqualsNoCase(*tabs[i]->Id(), text)) {
            Select(static_cast<int>(i));
            return;
        }
    }
}

void CWynTabSwitcher::DoCommand(const wchar_t* command) {
    if (!command)
        return;
    if (kelvo::EqualsNoCase(command, L"next")) {
        Select(m_active + 1);
    } else if (kelvo::EqualsNoCase(command, L"back")) {
        Select(m_active - 1);
    } else if (kelvo::EqualsNoCase(command, L"help")) {
        const std::vector<CWynTab*> tabs = Tabs();
        if (m_active >= 0 && m_active < static_cast<int>(tabs.size())) {
            const auto& topic = tabs[static_cast<std::size_t>(m_active)]->HelpTopic();
            m_engine->OpenHelp(GetWindow(), topic ? topic->c_str() : nullptr, 0);
        }
    }
}

LRESULT CWynTabSwitcher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        kelvo::PaintBuffered(
            window, [this](HDC buffer, const RECT& client) { PaintColumn(buffer, client); });
        return 0;
    case WM_LBUTTONDOWN:
        if (const int height = EntryHeight(); height > 0)
            Select(GET_Y_LPARAM(lParam) / height);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CWynTabSwitcher::CaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        kelvo::PaintBuffered(
            window, [this](HDC buffer, const RECT& client) { PaintCaption(buffer, client); });
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

std::vector<CWynTab*> CWynTabSwitcher::Tabs() const {
    std::vector<CWynTab*> tabs;
    for (const auto& child : m_children) {
        if (auto* tab = dynamic_cast<CWynTab*>(child.get()))
            tabs.push_back(tab);
    }
    return tabs;
}

void CWynTabSwitcher::Select(int index) {
    const std::vector<CWynTab*> tabs = Tabs();
    if (index < 0 || index >= static_cast<int>(tabs.size()) || index == m_active)
        return;
    if (m_active >= 0)
        tabs[static_cast<std::size_t>(m_active)]->Deactivate();
    m_active = index;
    tabs[static_cast<std::size_t>(index)]->Activate();
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (m_captionWindow)
        ::InvalidateRect(m_captionWindow, nullptr, FALSE);
}

int CWynTabSwitcher::EntryHeight() const {
    const int text = kelvo::MeasureText(*this, nullptr).cy;
    return (m_imageTop ? ImageSize() + text : std::max(ImageSize(), text)) + 2 * Scale(kPadding);
}

int CWynTabSwitcher::ColumnWidth() const {
    if (!m_showSwitcher)
        return 0;
    int widest = 0;
    for (CWynTab* tab : Tabs())
        widest = std::max<int>(widest, kelvo::MeasureText(*this, tab->Label().c_str()).cx);
    const int content =
        m_imageTop ? std::max(widest, ImageSize()) : ImageSize() + Scale(kPadding) + widest;
    return content + 2 * Scale(kPadding);
}

int CWynTabSwitcher::CaptionHeight() const {
    return m_showCaption ? kelvo::MeasureText(*this, nullptr).cy + 2 * Scale(kPadding) : 0;
}

void CWynTabSwitcher::UpdatePixels() {
    CWynElement::UpdatePixels();
    // Made again from the dialog's font at its DPI when next needed.
    m_boldFont.Reset();
}

HFONT CWynTabSwitcher::BoldFont() {
    if (!m_boldFont) {
        LOGFONTW font{};
        ::GetObjectW(GetFont(), sizeof(font), &font);
        font.lfWeight = FW_BOLD;
        m_boldFont.Reset(::CreateFontIndirectW(&font));
    }
    return m_boldFont ? m_boldFont.Get() : GetFont();
}

void CWynTabSwitcher::PaintColumn(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    kelvo::SelectedObject font(dc, GetFont());
    ::SetBkMode(dc, TRANSPARENT);
    const int height = EntryHeight();
    const std::vector<CWynTab*> tabs = Tabs();
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        RECT entry{0, static_cast<int>(i) * height, client.right, static_cast<int>(i + 1) * height};
        const bool active = static_cast<int>(i) == m_active;
        if (active)
            ::FillRect(dc, &entry, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        ::SetTextColor(dc, ::GetSysColor(active ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = entry;
        ::InflateRect(&text, -Scale(kPadding), -Scale(kPadding));
        if (const auto& icon = tabs[i]->Icon(); icon && ImageSize() > 0) {
            const int x = m_imageTop ? (entry.right - ImageSize()) / 2 : text.left;
            m_engine->DrawImage(dc, x, text.top, ImageSize(), ImageSize(), icon->c_str());
        }
        if (m_imageTop)
            text.top += ImageSize();
        else
            text.left += ImageSize() + Scale(kPadding);
        ::DrawTextW(dc, tabs[i]->Label().c_str(), -1, &text,
                    (m_imageTop ? DT_CENTER | DT_BOTTOM : DT_VCENTER) | DT_SINGLELINE |
                        DT_END_ELLIPSIS);
    }
    RECT edge{client.right - 1, 0, client.right, client.bottom};
    ::FillRect(dc, &edge, ::GetSysColorBrush(COLOR_3DSHADOW));
}

void CWynTabSwitcher::PaintCaption(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    RECT edge{0, client.bottom - 1, client.right, client.bottom};
    ::FillRect(dc, &edge, ::GetSysColorBrush(COLOR_3DSHADOW));
    const std::vector<CWynTab*> tabs = Tabs();
    if (m_active < 0 || m_active >= static_cast<int>(tabs.size()))
        return;
    kelvo::SelectedObject font(dc, BoldFont());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    RECT text = client;
    text.left += Scale(kPadding);
    ::DrawTextW(dc, tabs[static_cast<std::size_t>(m_active)]->Caption().c_str(), -1, &text,
                DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}
