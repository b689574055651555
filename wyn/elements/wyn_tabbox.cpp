#include "wyn/elements/wyn_tabbox.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

CWynTabPanel::CWynTabPanel(CWynElement* parent, CWynEngine* engine) : CWynDialog(parent, engine) {
    // The tab box places the page over its display area.
    m_fixedPosition = true;
}

bool CWynTabPanel::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"tabpanel", name, element);
}

bool CWynTabPanel::Parse(IXMLDOMNode* node) {
    CWynDialog::Parse(node);
    m_label = GetLocalizedAttribute(node, L"label").value_or(L"");
    return true;
}

void CWynTabPanel::Create() {
    CWynDialog::Create();
    if (m_hWnd)
        ::EnableThemeDialogTexture(m_hWnd, ETDT_ENABLETAB);
}

bool CWynTabPanel::IsLive() {
    return m_opened && CWynDialog::IsLive();
}

void CWynTabPanel::Show(bool shown) {
    if (shown)
        m_opened = true;
    SetHidden(!shown);
}

bool CWynTabBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"tabbox", name, element);
}

void CWynTabBox::Create() {
    kelvo::EnsureCommonControls(ICC_TAB_CLASSES);
    kelvo::ControlWindow control;
    control.windowClass = WC_TABCONTROLW;
    control.style = WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    // The pages inside are dialogs: the keyboard moves into them.
    control.exStyle = WS_EX_CONTROLPARENT;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd) {
        int index = 0;
        for (CWynTabPanel* page : Pages()) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(page->Label().c_str());
            ::SendMessageW(m_hWnd, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                           reinterpret_cast<LPARAM>(&item));
        }
    }
    // The pages are made inside the tab control.
    CWynElement::Create();
    ShowSelected();
}

SIZE CWynTabBox::Measure() const {
    int width = 0, height = 0;
    for (CWynTabPanel* page : Pages()) {
        const SIZE natural = page->Measure();
        width = std::max<int>(width, natural.cx);
        height = std::max<int>(height, natural.cy);
    }
    const RECT outer = Adjusted({0, 0, width, height}, TRUE);
    return {std::max<int>(outer.right - outer.left, m_pixels.minWidth),
            std::max<int>(outer.bottom - outer.top, m_pixels.minHeight)};
}

int CWynTabBox::HeightForWidth(int width) const {
    const RECT display = Adjusted({0, 0, width, 0}, FALSE);
    int height = 0;
    for (CWynTabPanel* page : Pages())
        height = std::max(height, page->HeightForWidth(display.right - display.left));
    const RECT outer = Adjusted({0, 0, width, height}, TRUE);
    return std::max<int>(outer.bottom - outer.top, m_pixels.minHeight);
}

void CWynTabBox::CalculateLayout(const Rect& rect, CWynLayout& layout) const {
    if (!m_hWnd)
        return;
    layout.moves.push_back({m_hWnd, rect});
    // The pages are windows inside the tab control: its client coordinates.
    const RECT display = Adjusted({0, 0, rect.width, rect.height}, FALSE);
    const Rect page_rect{display.left, display.top, std::max<int>(display.right - display.left, 0),
                         std::max<int>(display.bottom - display.top, 0)};
    for (CWynTabPanel* page : Pages()) {
        if (page->Hwnd())
            layout.moves.push_back({page->Hwnd(), page_rect});
        layout.placements.push_back({page, page_rect});
        page->CalculateLayout(page_rect, layout);
    }
}

RECT CWynTabBox::Adjusted(RECT rect, BOOL larger) const {
    if (m_hWnd)
        ::SendMessageW(m_hWnd, TCM_ADJUSTRECT, larger, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

LRESULT CWynTabBox::OnNotify(int code, NMHDR*) {
    switch (static_cast<UINT>(code)) {
    case TCN_SELCHANGING:
        kelvo::AnswerNotification(m_hWnd, FALSE); // the page may change
        return 1;
    case TCN_SELCHANGE:
        ShowSelected();
        kelvo::AnswerNotification(m_hWnd, 0);
        return 1;
    default:
        return 0;
    }
}

int CWynTabBox::GetIntValue() {
    return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, TCM_GETCURSEL, 0, 0)) : -1;
}

void CWynTabBox::SetIntValue(int value) {
    if (!m_hWnd || value < 0 || value >= static_cast<int>(Pages().size()))
        return;
    ::SendMessageW(m_hWnd, TCM_SETCURSEL, static_cast<WPARAM>(value), 0);
    ShowSelected();
}

std::vector<CWynTabPanel*> CWynTabBox::Pages() const {
    std::vector<CWynTabPanel*> pages;
    for (const auto& child : m_children) {
        if (auto* page = dynamic_cast<CWynTabPanel*>(child.get()))
            pages.push_back(page);
    }
    return pages;
}

void CWynTabBox::ShowSelected() {
    const int selected = GetIntValue();
    int index = 0;
    for (CWynTabPanel* page : Pages())
        page->Show(index++ == selected);
}
