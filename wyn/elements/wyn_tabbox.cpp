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
            item.pszText = const_cast<wchar_t*>(page->label().c_str());
            ::SendMessageW(m_hWnd, TCM_INSERTITEMW, static_cast<WPARAM>(index++),
                           reinterpret_cast<LPARAM>(&item));
        }
    }
    // The pages are made inside the tab control.
    CWynElement::Create();
    ShowSelected();
}

SIZE CWynTabBox::Measure() {
    int width = 0, height = 0;
    for (CWynTabPanel* page : Pages()) {
        const SIZE natural = page->Measure();
        width = std::max<int>(width, natural.cx);
        height = std::max<int>(height, natural.cy);
    }
    RECT outer{0, 0, width, height};
    if (m_hWnd)
        ::SendMessageW(m_hWnd, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&outer));
    return {std::max<int>(outer.right - outer.left, m_minWidth),
            std::max<int>(outer.bottom - outer.top, m_minHeight)};
}

void CWynTabBox::Arrange(int left, int top, int width, int height) {
    m_rect = {left, top, width, height};
    if (!m_hWnd)
        return;
    ::SetWindowPos(m_hWnd, nullptr, left, top, width, height,
                   SWP_NOZORDER | SWP_NOCOPYBITS | SWP_NOOWNERZORDER | SWP_DEFERERASE);
    RECT display{0, 0, width, height};
    ::SendMessageW(m_hWnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const int w = std::max<int>(display.right - display.left, 0);
    const int h = std::max<int>(display.bottom - display.top, 0);
    for (CWynTabPanel* page : Pages()) {
        if (page->hwnd())
            ::SetWindowPos(page->hwnd(), nullptr, display.left, display.top, w, h,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        page->Arrange(display.left, display.top, w, h);
    }
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
