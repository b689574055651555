#include "wyn/elements/wyn_checks_list.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

bool CWynCheckItem::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"checkitem", name, element);
}

bool CWynCheckItem::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_label = GetLocalizedAttribute(node, L"label").value_or(L"");
    m_value = CWynAttributes(node).Int(L"value", 0);
    return true;
}

int CWynCheckItem::GetIntValue() {
    const int row = Row();
    if (row < 0 || !m_parent->Hwnd())
        return 0;
    return ListView_GetCheckState(m_parent->Hwnd(), row) ? 1 : 0;
}

void CWynCheckItem::SetIntValue(int value) {
    auto* list = dynamic_cast<CWynChecksList*>(m_parent);
    const int row = Row();
    if (list && row >= 0)
        list->SetChecked(row, value != 0);
}

int CWynCheckItem::Row() {
    int row = 0;
    for (const auto& sibling : m_parent->Children()) {
        if (sibling.get() == this)
            return row;
        if (dynamic_cast<const CWynCheckItem*>(sibling.get()))
            ++row;
    }
    return -1;
}

bool CWynChecksList::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"checkslist", name, element);
}

bool CWynChecksList::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_visibleItems = std::max(CWynAttributes(node).Int(L"visibleItems", 5), 1);
    return true;
}

void CWynChecksList::Create() {
    kelvo::EnsureCommonControls(ICC_LISTVIEW_CLASSES);
    kelvo::ControlWindow control;
    control.windowClass = WC_LISTVIEWW;
    control.style =
        WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    control.exStyle = WS_EX_CLIENTEDGE;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd) {
        const bool was_filling = std::exchange(m_filling, true);
        ListView_SetExtendedListViewStyle(m_hWnd, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        ListView_InsertColumn(m_hWnd, 0, &column);
        int row = 0;
        for (const auto& child : m_children) {
            const auto* item = dynamic_cast<const CWynCheckItem*>(child.get());
            if (!item)
                continue;
            LVITEMW line{};
            line.mask = LVIF_TEXT | LVIF_PARAM;
            line.iItem = row++;
            line.pszText = const_cast<wchar_t*>(item->Label().c_str());
            line.lParam = item->Value();
            ListView_InsertItem(m_hWnd, &line);
        }
        m_filling = was_filling;
    }
    CWynElement::Create();
}

void CWynChecksList::UpdatePixels() {
    CWynElement::UpdatePixels();
    int widest = kelvo::MeasureText(*this, L"WWWWWWWWWW").cx;
    for (const auto& child : m_children) {
        if (const auto* item = dynamic_cast<const CWynCheckItem*>(child.get()))
            widest = std::max<int>(widest, kelvo::MeasureText(*this, item->Label().c_str()).cx);
    }
    // A row is as high as the text or the check box, whichever is higher.
    const int row_height = std::max<int>(kelvo::MeasureText(*this, nullptr).cy + Scale(4),
                                         Metric(SM_CYSMICON) + Scale(2));
    const int border = 2 * Metric(SM_CXEDGE);
    m_pixels.minWidth = widest + Metric(SM_CXSMICON) + Metric(SM_CXVSCROLL) + border + Scale(8);
    m_pixels.minHeight = m_visibleItems * row_height + border;
}

SIZE CWynChecksList::Measure() const {
    return {m_pixels.minWidth, m_pixels.minHeight};
}

void CWynChecksList::OnLayoutApplied() {
    if (m_hWnd)
        ListView_SetColumnWidth(m_hWnd, 0, LVSCW_AUTOSIZE_USEHEADER);
}

LRESULT CWynChecksList::OnNotify(int code, NMHDR* record) {
    if (static_cast<UINT>(code) != LVN_ITEMCHANGED || m_filling)
        return 0;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(record);
    // Only the check box, which is the row's state image.
    if (!(change->uChanged & LVIF_STATE) ||
        !((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK))
        return 0;
    NotifyChildren(this);
    RaiseEvent(L"changed");
    kelvo::AnswerNotification(m_hWnd, 0);
    return 1;
}

void CWynChecksList::SetChecked(int row, bool checked) {
    if (!m_hWnd)
        return;
    const bool was_filling = std::exchange(m_filling, true);
    ListView_SetCheckState(m_hWnd, row, checked);
    m_filling = was_filling;
}
