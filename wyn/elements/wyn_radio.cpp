#include "wyn/elements/wyn_radio.h"

#include <algorithm>
#include <vector>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynRadio::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"radio", name, element);
}

bool CWynRadio::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_label = GetLocalizedAttribute(node, L"label");
    m_selected = attributes.Bool(L"selected");
    m_multiline = attributes.Bool(L"multiline");
    m_value = attributes.Int(L"value", 0);
    m_vAlign = attributes.Enum(L"vAlign", {L"default", L"top", L"bottom", L"center"}, 0);
    m_hAlign = attributes.Enum(L"hAlign", {L"default", L"left", L"right", L"center"}, 0);
    return true;
}

void CWynRadio::Create() {
    constexpr DWORD kVertical[] = {0, BS_TOP, BS_BOTTOM, BS_VCENTER};
    constexpr DWORD kHorizontal[] = {0, BS_LEFT, BS_RIGHT, BS_CENTER};
    DWORD style = BS_AUTORADIOBUTTON | WS_TABSTOP | kVertical[m_vAlign] | kHorizontal[m_hAlign];
    if (m_multiline)
        style |= BS_MULTILINE;
    if (StartsGroup())
        style |= WS_GROUP;
    const wchar_t* label = m_label ? m_label->c_str() : nullptr;
    kelvo::ControlWindow control;
    control.windowClass = L"BUTTON";
    control.text = label ? label : L"";
    control.style = style;
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    if (m_hWnd && m_selected)
        ::SendMessageW(m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    CWynElement::Create();
}

void CWynRadio::UpdatePixels() {
    CWynElement::UpdatePixels();
    // A multiline radio starts narrow; its height follows the width layout
    // gives it (HeightForWidth).
    const int text_width = m_multiline
                               ? ToPixels({0, 0, m_requestedWidth ? m_requestedWidth : 7, 0}).right
                               : kelvo::MeasureText(*this, m_label ? m_label->c_str() : nullptr).cx;
    m_pixels.minWidth = text_width + BoxWidth();
    m_pixels.minHeight = LineHeight();
}

LRESULT CWynRadio::OnCommand(int code, int, HWND) {
    if (code != BN_CLICKED)
        return 0;
    NotifyChildren(this);
    return RaiseEvent(L"changed");
}

void CWynRadio::SetIntValue(int value) {
    if (!m_hWnd)
        return;
    ::SendMessageW(m_hWnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    NotifyChildren(this);
}

int CWynRadio::GetIntValue() {
    return m_hWnd ? static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)) : 0;
}

int CWynRadio::HeightForWidth(int width) const {
    if (!m_multiline || !m_hWnd)
        return CWynElement::HeightForWidth(width);
    const int wrap_width = std::max(std::max(m_pixels.minWidth, width) - BoxWidth(), 1);
    const SIZE text = kelvo::MeasureText(*this, m_label ? m_label->c_str() : nullptr, wrap_width);
    return std::max({m_pixels.minHeight, static_cast<int>(text.cy), LineHeight()});
}

bool CWynRadio::StartsGroup() {
    if (CWynRadioGroup* group = CWynRadioGroup::Of(*this)) {
        const std::vector<CWynRadio*> radios = group->Radios();
        return !radios.empty() && radios.front() == this;
    }
    return !dynamic_cast<CWynRadio*>(PreviousSibling());
}

int CWynRadio::BoxWidth() const {
    // The circle is as wide as the line is high, then a gap of 7 units.
    const RECT units = ToPixels({0, 0, 7, 10});
    return units.right + units.bottom;
}

int CWynRadio::LineHeight() const {
    return ToPixels({0, 0, 0, 10}).bottom;
}

bool CWynRadioGroup::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"radiogroup", name, element);
}

std::int64_t CWynRadioGroup::OnEvent(CWynElement* source, std::wstring_view name, WPARAM first,
                                     LPARAM second) {
    if (source != this && name == L"changed" && dynamic_cast<CWynRadio*>(source) &&
        Of(*source) == this) {
        NotifyChildren(this);
        return RaiseEvent(L"changed");
    }
    return CWynElement::OnEvent(source, name, first, second);
}

int CWynRadioGroup::GetIntValue() {
    for (CWynRadio* radio : Radios()) {
        if (radio->GetIntValue() == BST_CHECKED)
            return radio->Value();
    }
    return 0;
}

void CWynRadioGroup::SetIntValue(int value) {
    for (CWynRadio* radio : Radios()) {
        if (HWND window = radio->Hwnd())
            ::SendMessageW(window, BM_SETCHECK,
                           radio->Value() == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

std::vector<CWynRadio*> CWynRadioGroup::Radios() {
    std::vector<CWynRadio*> radios;
    CollectRadios(*this, radios);
    return radios;
}

void CWynRadioGroup::CollectRadios(CWynElement& from, std::vector<CWynRadio*>& radios) {
    for (const auto& child : from.Children()) {
        if (dynamic_cast<CWynRadioGroup*>(child.get()))
            continue; // a nested group keeps its own radios
        if (auto* radio = dynamic_cast<CWynRadio*>(child.get()))
            radios.push_back(radio);
        else
            CollectRadios(*child, radios);
    }
}

CWynRadioGroup* CWynRadioGroup::Of(CWynElement& element) {
    for (CWynElement* e = element.Parent(); e; e = e->Parent()) {
        if (auto* group = dynamic_cast<CWynRadioGroup*>(e))
            return group;
    }
    return nullptr;
}
