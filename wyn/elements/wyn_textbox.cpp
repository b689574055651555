#include "wyn/elements/wyn_textbox.h"

#include <algorithm>

#include "base/read_integer.h"
#include "base/utf16.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/wyn_control.h"

bool CWynTextBox::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"textbox", name, element);
}

bool CWynTextBox::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes a(node);
    m_value = a.Text(L"value").value_or(L"");
    m_readonly = a.Bool(L"readonly");
    m_multiline = a.Bool(L"multiline");
    m_maxLength = std::max(0, a.Int(L"maxlength", 0));
    m_textRows = std::clamp(a.Int(L"textrows", 1), 1, 1000);
    m_textCols = std::clamp(a.Int(L"textcols", 10), 0, 1000);
    m_size = std::clamp(a.Int(L"size", 10), 0, 1000);
    m_numberOnly = a.Bool(L"numberonly");
    m_password = a.Bool(L"password");
    m_align = a.Enum(L"textalign", {L"left", L"right", L"center"}, kLeft);
    m_wantReturn = a.Bool(L"wantReturn");
    m_autoHScroll = m_multiline ? a.Bool(L"autoHScroll") : a.BoolDefaultTrue(L"autoHScroll");
    m_autoVScroll = a.Bool(L"autoVScroll");
    m_hScroll = a.Bool(L"hScroll");
    m_vScroll = a.Bool(L"vScroll");
    return true;
}

void CWynTextBox::Create() {
    DWORD style = WS_TABSTOP;
    if (m_readonly)
        style |= ES_READONLY;
    if (m_multiline)
        style |= ES_MULTILINE;
    if (m_autoHScroll)
        style |= ES_AUTOHSCROLL;
    if (m_autoVScroll)
        style |= ES_AUTOVSCROLL;
    if (m_wantReturn)
        style |= ES_WANTRETURN;
    if (m_hScroll)
        style |= WS_HSCROLL;
    if (m_vScroll)
        style |= WS_VSCROLL;
    if (m_numberOnly)
        style |= ES_NUMBER;
    if (m_password)
        style |= ES_PASSWORD;
    if (m_align == kRight)
        style |= ES_RIGHT;
    else if (m_align == kCenter)
        style |= ES_CENTER;
    m_settingText = true;
    m_hWnd = kelvo::CreateControlWindow(*this, {.windowClass = L"EDIT",
                                                .text = m_value.c_str(),
                                                .style = style,
                                                .exStyle = WS_EX_CLIENTEDGE});
    m_settingText = false;
    if (m_hWnd && m_maxLength > 0)
        ::SendMessageW(m_hWnd, EM_LIMITTEXT, static_cast<WPARAM>(m_maxLength), 0);
    CWynElement::Create();
}

void CWynTextBox::UpdatePixels() {
    CWynElement::UpdatePixels();
    const int rows = m_multiline ? m_textRows : 1;
    const int columns = m_multiline ? m_textCols : m_size;
    if (m_minWidth > 0) {
        const RECT natural = ToPixels({0, 0, m_minWidth, rows * 14});
        m_pixels.minWidth = natural.right;
        m_pixels.minHeight = natural.bottom;
    } else {
        std::wstring sample;
        for (int r = 0; r < rows; ++r)
            sample.append(static_cast<std::size_t>(columns), L'W').append(L"\n");
        const SIZE text = kelvo::MeasureText(*this, sample.c_str());
        m_pixels.minWidth = text.cx + Scale(6);
        m_pixels.minHeight = text.cy + Scale(6);
    }
    if (!m_multiline)
        m_pixels.minHeight = ToPixels({0, 0, 0, 14}).bottom;
}

LRESULT CWynTextBox::OnCommand(int code, int, HWND) {
    if (code != EN_CHANGE || m_settingText)
        return 0;
    NotifyChildren(this);
    return RaiseEvent(L"changed");
}

const wchar_t* CWynTextBox::GetTextValue() {
    m_read.Clear();
    if (!m_hWnd)
        return nullptr;
    m_read.Resize(static_cast<std::size_t>(::GetWindowTextLengthW(m_hWnd)));
    m_read.Resize(static_cast<std::size_t>(
        ::GetWindowTextW(m_hWnd, m_read.data(), static_cast<int>(m_read.size()) + 1)));
    return m_read.empty() ? nullptr : m_read.c_str();
}

void CWynTextBox::SetTextValue(const wchar_t* text) {
    if (m_hWnd) {
        m_settingText = true;
        ::SetWindowTextW(m_hWnd, text ? text : L"");
        m_settingText = false;
    }
    NotifyChildren(this);
}

int CWynTextBox::GetIntValue() {
    const wchar_t* text = GetTextValue();
    return text ? kelvo::ReadInteger(kelvo::AsU16(text), kelvo::NumberBase::kDecimal) : 0;
}

void CWynTextBox::SetIntValue(int value) {
    SetTextValue(std::to_wstring(value).c_str());
}
