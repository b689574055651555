#include "wyn/elements/wyn_statusbar.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

bool CWynSBPart::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"sbpart", name, element);
}

bool CWynSBPart::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_flex = std::max(attributes.Int(L"flex", 0), 0);
    m_units = std::max(attributes.Int(L"size", 0), 0);
    return true;
}

void CWynSBPart::UpdatePixels() {
    CWynElement::UpdatePixels();
    m_size = ToPixels({0, 0, m_units, 0}).right;
}

void CWynSBPart::SetTextValue(const wchar_t* text) {
    const int index = Index();
    if (index >= 0 && m_parent->Hwnd())
        ::SendMessageW(m_parent->Hwnd(), SB_SETTEXTW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(text ? text : L""));
}

int CWynSBPart::Index() {
    int index = 0;
    for (const auto& sibling : m_parent->Children()) {
        if (sibling.get() == this)
            return index;
        if (dynamic_cast<const CWynSBPart*>(sibling.get()))
            ++index;
    }
    return -1;
}

bool CWynStatusBar::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"statusbar", name, element);
}

bool CWynStatusBar::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_sizeGrip = CWynAttributes(node).Bool(L"sizeGrip");
    return true;
}

void CWynStatusBar::Create() {
    kelvo::EnsureCommonControls(ICC_BAR_CLASSES);
    kelvo::ControlWindow control;
    control.windowClass = STATUSCLASSNAMEW;
    // Placed by the layout like any control, not docked to the bottom.
    control.style =
        CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | (m_sizeGrip ? SBARS_SIZEGRIP : 0);
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynStatusBar::UpdatePixels() {
    CWynElement::UpdatePixels();
    int borders[3] = {};
    if (m_hWnd)
        ::SendMessageW(m_hWnd, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const SIZE text = kelvo::MeasureText(*this, nullptr);
    m_pixels.minWidth = text.cx;
    m_pixels.minHeight = text.cy + 2 * borders[1] + 2 * Metric(SM_CYEDGE);
}

SIZE CWynStatusBar::Measure() const {
    // The parts are measured after the bar.
    int fixed = 0;
    for (const auto& child : m_children) {
        if (const auto* part = dynamic_cast<const CWynSBPart*>(child.get()))
            fixed += part->Size();
    }
    return {std::max(fixed, m_pixels.minWidth), m_pixels.minHeight};
}

void CWynStatusBar::OnLayoutApplied() {
    if (!m_hWnd)
        return;
    std::vector<const CWynSBPart*> parts;
    long long fixed = 0, flex = 0;
    for (const auto& child : m_children) {
        if (const auto* part = dynamic_cast<const CWynSBPart*>(child.get())) {
            parts.push_back(part);
            fixed += part->Flex() ? 0 : part->Size();
            flex += part->Flex();
        }
    }
    if (parts.empty())
        return;
    const long long spare = std::max<long long>(m_rect.width - fixed, 0);
    std::vector<int> edges;
    long long right = 0;
    for (const CWynSBPart* part : parts) {
        right += part->Flex() ? spare * part->Flex() / flex : part->Size();
        edges.push_back(static_cast<int>(std::min<long long>(right, INT_MAX)));
    }
    edges.back() = -1; // the last part runs to the end
    ::SendMessageW(m_hWnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}
