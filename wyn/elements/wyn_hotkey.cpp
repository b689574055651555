#include "wyn/elements/wyn_hotkey.h"

#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "base/unique_any.h"
#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/elements/hotkey_value.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kClassName[] = L"WYN_HOTKEY_CLASS";
constexpr wchar_t kProperty[] = L"CWynHotkey_this";
constexpr int kTextInset = 4;
// The edit-box look of the current theme: part EP_EDITTEXT, state ETS_NORMAL.
constexpr int kEditPart = 1;
constexpr int kEditState = 1;

void CloseTheme(HTHEME theme) noexcept {
    ::CloseThemeData(theme);
}
using UniqueHtheme = kelvo::UniqueAny<HTHEME, CloseTheme>;

} // namespace

CWynHotkey::CWynHotkey(CWynElement* parent, CWynEngine* engine) : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kClassName,
        &kelvo::OwnWindowProc<kProperty, &CWynHotkey::WindowProc, &CWynHotkey::m_hWnd,
                              &CWynHotkey::m_ownWindow>,
        CS_HREDRAW | CS_VREDRAW, IDC_IBEAM));
}

bool CWynHotkey::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"hotkey", name, element);
}

bool CWynHotkey::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    const CWynAttributes attributes(node);
    m_icon = attributes.Text(L"icon");
    m_background = attributes.Text(L"background");
    return true;
}

void CWynHotkey::Create() {
    m_text = DisplayText(m_value);
    kelvo::ControlWindow control;
    control.windowClass = kClassName;
    control.style = WS_TABSTOP;
    control.createParam = this;
    kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynHotkey::UpdatePixels() {
    CWynElement::UpdatePixels();
    // The minimum sizes of this type are dialog units.
    const RECT natural =
        ToPixels({0, 0, m_minWidth ? m_minWidth : 80, m_minHeight ? m_minHeight : 14});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

void CWynHotkey::SetIntValue(int value) {
    m_value = static_cast<std::uint16_t>(value);
    Refresh();
}

int CWynHotkey::GetIntValue() {
    return m_value;
}

std::wstring CWynHotkey::DisplayText(std::uint16_t value) const {
    if (value == 0)
        return m_engine->GetString(L"WYN_STR_HOTKEY_NONE", nullptr, L"None");
    std::wstring text;
    if (value & kelvo::kHotkeyCtrl)
        text += m_engine->GetString(L"WYN_STR_HOTKEY_CTRL", nullptr, L"Ctrl + ");
    if (value & kelvo::kHotkeyShift)
        text += m_engine->GetString(L"WYN_STR_HOTKEY_SHIFT", nullptr, L"Shift + ");
    if (value & kelvo::kHotkeyAlt)
        text += m_engine->GetString(L"WYN_STR_HOTKEY_ALT", nullptr, L"Alt + ");
    if (value & kelvo::kHotkeyWin)
        text += m_engine->GetString(L"WYN_STR_HOTKEY_WIN", nullptr, L"Win + ");
    const unsigned key = value & 0xFF;
    LONG scan = static_cast<LONG>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    if (value & kelvo::kHotkeyExtended)
        scan |= 1 << 24;
    wchar_t name[64] = {};
    if (::GetKeyNameTextW(scan, name, static_cast<int>(std::size(name))) > 0) {
        text += name;
    } else if (key != 0) {
        std::swprintf(name, std::size(name), L"#%u", key);
        text += name;
    }
    return text;
}

LRESULT CWynHotkey::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            ::InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_GETDLGCODE:
        // Tab, Enter and Escape belong to the hotkey, not to the dialog.
        return DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        OnKey(message, lParam);
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
        // The keys were taken as they went down; no mnemonics, no beeps.
        return 0;
    case WM_SETFOCUS:
        ::CreateCaret(window, nullptr, 0, std::max<int>(0, ClearSquare().bottom - 4));
        PlaceCaret();
        ::ShowCaret(window);
        return 0;
    case WM_KILLFOCUS:
        ::DestroyCaret();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSELEAVE:
        m_tracking = false;
        if (!m_pressed)
            SetSquare(Square::kNormal);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CAPTURECHANGED:
        if (m_pressed) {
            m_pressed = false;
            SetSquare(Square::kNormal);
        }
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            ::ScreenToClient(window, &cursor);
            ::SetCursor(::LoadCursorW(nullptr, InClearSquare(cursor) ? IDC_ARROW : IDC_IBEAM));
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        kelvo::PaintBuffered(window,
                             [this](HDC buffer, const RECT& client) { Paint(buffer, client); });
        return 0;
    case WM_USER + 1: // HKM_SETHOTKEY
        m_value = static_cast<std::uint16_t>(wParam);
        Refresh();
        return 0;
    case WM_USER + 2: // HKM_GETHOTKEY
        return m_value;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynHotkey::OnKey(UINT message, LPARAM lParam) {
    // The virtual key comes from the scan code, so that left and right
    // modifiers and keys sent without a key code are read the same way.
    const UINT scan = (static_cast<UINT>(lParam) >> 16) & 0xFF;
    const UINT key = ::MapVirtualKeyW(scan, MAPVK_VSC_TO_VK);
    const bool extended = (lParam & (1 << 24)) != 0;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        m_value = kelvo::HotkeyAfterKeyDown(m_value, key, extended);
    else
        m_value = kelvo::HotkeyAfterKeyUp(m_value, key);
    Refresh();
    Changed();
}

void CWynHotkey::OnMouseMove(POINT point) {
    const bool inside = InClearSquare(point);
    if (inside && !m_tracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_tracking = ::TrackMouseEvent(&track) != FALSE;
    }
    if (m_pressed)
        SetSquare(inside ? Square::kPressed : Square::kNormal);
    else
        SetSquare(inside ? Square::kHover : Square::kNormal);
}

void CWynHotkey::OnButtonDown(POINT point) {
    ::SetFocus(m_hWnd);
    if (!InClearSquare(point))
        return;
    // Captured, so that a release outside the control still ends the press.
    ::SetCapture(m_hWnd);
    m_pressed = true;
    SetSquare(Square::kPressed);
}

void CWynHotkey::OnButtonUp(POINT point) {
    const bool clear = m_pressed && InClearSquare(point);
    if (m_pressed)
        ::ReleaseCapture();
    m_pressed = false;
    SetSquare(InClearSquare(point) ? Square::kHover : Square::kNormal);
    if (clear) {
        SetIntValue(0);
        Changed();
    }
}

RECT CWynHotkey::ClearSquare() const {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int side = client.bottom;
    return {client.right - side, 0, client.right, side};
}

bool CWynHotkey::InClearSquare(POINT point) const {
    const RECT square = ClearSquare();
    return ::PtInRect(&square, point) != FALSE;
}

void CWynHotkey::SetSquare(Square square) {
    if (square == m_square)
        return;
    m_square = square;
    const RECT area = ClearSquare();
    ::InvalidateRect(m_hWnd, &area, FALSE);
}

void CWynHotkey::Refresh() {
    m_text = DisplayText(m_value);
    if (!m_hWnd)
        return;
    if (::GetFocus() == m_hWnd)
        PlaceCaret();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CWynHotkey::PlaceCaret() {
    kelvo::WindowDc dc(m_hWnd);
    if (!dc)
        return;
    kelvo::SelectedObject font(dc.Get(), TextFont());
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.Get(), m_text.c_str(), static_cast<int>(m_text.size()), &extent);
    ::SetCaretPos(Scale(kTextInset) + extent.cx, Scale(2));
}

void CWynHotkey::Paint(HDC dc, const RECT& client) {
    UniqueHtheme theme(::OpenThemeData(m_hWnd, L"EDIT"));
    if (theme) {
        ::DrawThemeBackground(theme.Get(), dc, kEditPart, kEditState, &client, nullptr);
    } else {
        kelvo::UniqueHpen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT)));
        kelvo::SelectedObject pen_in(dc, pen.Get());
        kelvo::SelectedObject brush_in(dc, ::GetSysColorBrush(COLOR_WINDOW));
        ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
    }
    const RECT square = ClearSquare();
    RECT text = client;
    text.left += Scale(kTextInset);
    text.right = square.left - Scale(kTextInset);
    {
        kelvo::SelectedObject font(dc, TextFont());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(IsDisabled() ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        ::DrawTextW(dc, m_text.c_str(), static_cast<int>(m_text.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    const int side = square.right - square.left;
    if (m_background)
        m_engine->DrawImageSkin(dc, square.left, square.top, side, side, m_background->c_str(), 3,
                                static_cast<int>(m_square), false);
    if (m_icon)
        m_engine->DrawImage(dc, square.left, square.top, side, side, m_icon->c_str());
}

HFONT CWynHotkey::TextFont() {
    return m_font ? m_font : GetFont();
}

void CWynHotkey::Changed() {
    NotifyChildren(this);
    RaiseEvent(L"changed");
}
