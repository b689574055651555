#include "wyn/elements/wyn_datepicker.h"

#include <commctrl.h>

#include <cwchar>
#include <iterator>

#include "wyn/engine/wyn_attributes.h"
#include "wyn/host/common_controls.h"
#include "wyn/host/wyn_control.h"

namespace {

// Exactly `count` digits at `text`; -1 otherwise.
int Digits(const wchar_t* text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

bool ParseDate(const wchar_t* text, SYSTEMTIME& time) {
    if (std::wcslen(text) != 10 || text[4] != L'-' || text[7] != L'-')
        return false;
    const int year = Digits(text, 4), month = Digits(text + 5, 2), day = Digits(text + 8, 2);
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    // Rejects the 31st of a 30-day month and the like.
    FILETIME check{};
    return ::SystemTimeToFileTime(&time, &check) != FALSE;
}

bool ParseTime(const wchar_t* text, SYSTEMTIME& time) {
    if (std::wcslen(text) != 8 || text[2] != L':' || text[5] != L':')
        return false;
    const int hour = Digits(text, 2), minute = Digits(text + 3, 2), second = Digits(text + 6, 2);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return true;
}

} // namespace

bool CWynDatePicker::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"datepicker", name, element);
}

bool CWynDatePicker::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_format = attributes.Enum(L"format", {L"shortDate", L"longDate", L"time"}, kShortDate);
    m_showNone = attributes.Bool(L"showNone");
    m_useSpin = attributes.Bool(L"useSpin");
    return true;
}

void CWynDatePicker::Create() {
    kelvo::EnsureCommonControls(ICC_DATE_CLASSES);
    constexpr DWORD kFormats[] = {DTS_SHORTDATEFORMAT, DTS_LONGDATEFORMAT, DTS_TIMEFORMAT};
    kelvo::ControlWindow control;
    control.windowClass = DATETIMEPICK_CLASSW;
    control.style = WS_TABSTOP | kFormats[m_format] | (m_showNone ? DTS_SHOWNONE : 0) |
                    (m_useSpin ? DTS_UPDOWN : 0);
    m_hWnd = kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynDatePicker::UpdatePixels() {
    CWynElement::UpdatePixels();
    const int width =
        m_requestedWidth
            ? ToPixels({0, 0, m_requestedWidth, 0}).right
            : kelvo::MeasureText(*this, m_format == kLongDate ? L"Wednesday, 30 September 2000"
                                                              : L"30/09/2000 00")
                      .cx +
                  Metric(SM_CXVSCROLL) + Scale(12);
    m_pixels.minWidth = width;
    m_pixels.minHeight = ToPixels({0, 0, 0, m_requestedHeight ? m_requestedHeight : 14}).bottom;
}

LRESULT CWynDatePicker::OnNotify(int code, NMHDR*) {
    if (static_cast<UINT>(code) != DTN_DATETIMECHANGE)
        return 0;
    NotifyChildren(this);
    RaiseEvent(L"changed");
    kelvo::AnswerNotification(m_hWnd, 0);
    return 1;
}

void CWynDatePicker::SetTextValue(const wchar_t* text) {
    if (!m_hWnd)
        return;
    SYSTEMTIME time{};
    ::SendMessageW(m_hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    if (!text || !*text) {
        // Windows ignores the time here; Wine refuses the message without one.
        if (m_showNone)
            ::SendMessageW(m_hWnd, DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&time));
        return;
    }
    const bool valid = m_format == kTime ? ParseTime(text, time) : ParseDate(text, time);
    if (valid)
        ::SendMessageW(m_hWnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

const wchar_t* CWynDatePicker::GetTextValue() {
    if (!m_hWnd)
        return nullptr;
    SYSTEMTIME time{};
    if (::SendMessageW(m_hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return nullptr;
    wchar_t text[16] = {};
    if (m_format == kTime)
        std::swprintf(text, std::size(text), L"%02u:%02u:%02u", time.wHour, time.wMinute,
                      time.wSecond);
    else
        std::swprintf(text, std::size(text), L"%04u-%02u-%02u", time.wYear, time.wMonth, time.wDay);
    m_text = text;
    return m_text.c_str();
}
