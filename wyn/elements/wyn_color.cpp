#include "wyn/elements/wyn_color.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>

#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kButtonClass[] = L"WYN_COLORBUTTON_CLASS";
constexpr wchar_t kPickerClass[] = L"WYN_COLORPICKER_CLASS";
constexpr wchar_t kButtonProperty[] = L"CWynColor_this";
constexpr wchar_t kPickerProperty[] = L"CWynColorPicker_this";

constexpr COLORREF kBasic[] = {
    RGB(0, 0, 0),       RGB(128, 128, 128), RGB(128, 0, 0), RGB(128, 128, 0),
    RGB(0, 128, 0),     RGB(0, 128, 128),   RGB(0, 0, 128), RGB(128, 0, 128),
    RGB(255, 255, 255), RGB(192, 192, 192), RGB(255, 0, 0), RGB(255, 255, 0),
    RGB(0, 255, 0),     RGB(0, 255, 255),   RGB(0, 0, 255), RGB(255, 0, 255)};
constexpr int kColumns = 8;
constexpr int kCell = 18;
constexpr int kGap = 3;
constexpr int kRowHeight = 22; // the text rows below the colours

void DrawSwatch(HDC dc, RECT r, int colour) {
    ::FrameRect(dc, &r, ::GetSysColorBrush(COLOR_3DSHADOW));
    ::InflateRect(&r, -1, -1);
    if (colour == CWynColor::kNone) {
        // None: white with a red diagonal.
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_WINDOW));
        kelvo::UniqueHpen pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
        kelvo::SelectedObject pen_in(dc, pen.Get());
        ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        ::LineTo(dc, r.right, r.top - 1);
        return;
    }
    kelvo::UniqueHbrush brush(::CreateSolidBrush(static_cast<COLORREF>(colour)));
    ::FillRect(dc, &r, brush.Get());
}

} // namespace

CWynColor::CWynColor(CWynElement* parent, CWynEngine* engine) : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(
        kelvo::ClassDescription(engine->Module(), kButtonClass,
                                &kelvo::OwnWindowProc<kButtonProperty, &CWynColor::WindowProc,
                                                      &CWynColor::m_hWnd, &CWynColor::m_ownWindow>,
                                CS_HREDRAW | CS_VREDRAW));
}

bool CWynColor::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"color", name, element);
}

bool CWynColor::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_enableNone = CWynAttributes(node).Bool(L"enableNone");
    return true;
}

void CWynColor::Create() {
    kelvo::ControlWindow control;
    control.windowClass = kButtonClass;
    control.style = WS_TABSTOP;
    control.createParam = this;
    kelvo::CreateControlWindow(*this, control);
    CWynElement::Create();
}

void CWynColor::UpdatePixels() {
    CWynElement::UpdatePixels();
    const RECT natural = ToPixels({0, 0, m_requestedWidth ? m_requestedWidth : 30,
                                   m_requestedHeight ? m_requestedHeight : 14});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
}

void CWynColor::SetIntValue(int value) {
    if (value == kNone && !m_enableNone)
        return;
    m_colour = value == kNone ? kNone : value & 0xFFFFFF;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CWynColor::GetIntValue() {
    return m_colour;
}

LRESULT CWynColor::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        ::InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        ::SetFocus(window);
        m_pressed = true;
        ::InvalidateRect(window, nullptr, FALSE);
        ::UpdateWindow(window);
        Pick();
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE || wParam == VK_RETURN || wParam == VK_DOWN) {
            Pick();
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        kelvo::PaintBuffered(window,
                             [this](HDC buffer, const RECT& client) { Paint(buffer, client); });
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynColor::Pick() {
    RECT below{};
    ::GetWindowRect(m_hWnd, &below);
    CWynColorPicker picker(*m_engine, m_enableNone);
    const std::optional<int> chosen = picker.Pick(m_hWnd, {below.left, below.bottom}, m_colour);
    m_pressed = false;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (!chosen || *chosen == m_colour)
        return;
    SetIntValue(*chosen);
    NotifyChildren(this);
    RaiseEvent(L"changed");
}

void CWynColor::Paint(HDC dc, const RECT& client) {
    RECT r = client;
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (m_pressed ? DFCS_PUSHED : 0));
    RECT swatch = client;
    ::InflateRect(&swatch, -4, -4);
    if (IsDisabled())
        ::FrameRect(dc, &swatch, ::GetSysColorBrush(COLOR_GRAYTEXT));
    else
        DrawSwatch(dc, swatch, m_colour);
    if (::GetFocus() == m_hWnd) {
        RECT focus = client;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(dc, &focus);
    }
}

CWynColorPicker::CWynColorPicker(CWynEngine& engine, bool enable_none)
    : m_engine(engine), m_enableNone(enable_none) {
    kelvo::RegisterWindowClass(
        kelvo::ClassDescription(engine.Module(), kPickerClass,
                                &kelvo::OwnWindowProc<kPickerProperty, &CWynColorPicker::WindowProc,
                                                      &CWynColorPicker::m_window>,
                                CS_DROPSHADOW));
}

std::optional<int> CWynColorPicker::Pick(HWND owner, POINT at, int current) {
    m_owner = owner;
    m_current = current;
    const SIZE size = Size();
    HWND window = ::CreateWindowExW(
        WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPickerClass, L"", WS_POPUP | WS_BORDER, at.x, at.y,
        size.cx, size.cy, ::GetAncestor(owner, GA_ROOT), nullptr, m_engine.Module(), this);
    if (!window)
        return std::nullopt;
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    // All mouse input comes here while the palette is open: a click outside closes it.
    ::SetCapture(window);
    while (!m_done) {
        MSG msg{};
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside
            break;
        }
        // The keys go to the palette, whichever window has the focus.
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
            msg.hwnd = window;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (m_window && ::GetCapture() == window)
        ::ReleaseCapture();
    m_window.Reset();
    return m_result;
}

LRESULT CWynColorPicker::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        m_done = true;
        return 0;
    case WM_MOUSEMOVE: {
        const int hot = CellAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hot != m_hot) {
            m_hot = hot;
            ::InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client{};
        ::GetClientRect(window, &client);
        if (!::PtInRect(&client, point)) {
            if (message == WM_LBUTTONDOWN)
                m_done = true; // a click outside dismisses
        } else if (message == WM_LBUTTONUP) {
            Choose(CellAt(point));
        }
        return 0;
    }
    case WM_RBUTTONDOWN:
    case WM_CAPTURECHANGED:
        m_done = true;
        return 0;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_ESCAPE:
            m_done = true;
            break;
        case VK_RETURN:
        case VK_SPACE:
            Choose(m_hot);
            break;
        case VK_LEFT:
        case VK_UP:
            m_hot = m_hot <= 0 ? CellCount() - 1 : m_hot - 1;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            m_hot = (m_hot + 1) % CellCount();
            break;
        }
        ::InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        kelvo::PaintBuffered(window,
                             [this](HDC buffer, const RECT& client) { Paint(buffer, client); });
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int CWynColorPicker::CellCount() const {
    return static_cast<int>(std::size(kBasic)) + (m_enableNone ? 1 : 0) + 1;
}

RECT CWynColorPicker::CellRect(int cell) const {
    const int colours = static_cast<int>(std::size(kBasic));
    const int rows = colours / kColumns;
    const int width = kColumns * (kCell + kGap) + kGap;
    if (cell < colours) {
        const int x = kGap + (cell % kColumns) * (kCell + kGap);
        const int y = kGap + (cell / kColumns) * (kCell + kGap);
        return {x, y, x + kCell, y + kCell};
    }
    const int y = kGap + rows * (kCell + kGap) + (cell - colours) * kRowHeight;
    return {kGap, y, width - kGap, y + kRowHeight - kGap};
}

int CWynColorPicker::CellAt(POINT point) const {
    for (int cell = 0; cell < CellCount(); ++cell) {
        const RECT r = CellRect(cell);
        if (::PtInRect(&r, point))
            return cell;
    }
    return -1;
}

void CWynColorPicker::Choose(int cell) {
    const int colours = static_cast<int>(std::size(kBasic));
    if (cell < 0)
        return;
    m_done = true;
    if (cell < colours) {
        m_result = static_cast<int>(kBasic[cell]);
        return;
    }
    if (m_enableNone && cell == colours) {
        m_result = CWynColor::kNone;
        return;
    }
    // The system's colour dialog, after the palette has let the mouse go.
    ::ReleaseCapture();
    if (m_window)
        ::ShowWindow(m_window.Get(), SW_HIDE);
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = ::GetAncestor(m_owner, GA_ROOT);
    choose.rgbResult = m_current == CWynColor::kNone ? 0 : static_cast<COLORREF>(m_current);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&choose))
        m_result = static_cast<int>(choose.rgbResult);
}

void CWynColorPicker::Paint(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_MENU));
    const int colours = static_cast<int>(std::size(kBasic));
    kelvo::SelectedObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
    for (int cell = 0; cell < CellCount(); ++cell) {
        RECT r = CellRect(cell);
        const bool current = cell < colours
                                 ? static_cast<int>(kBasic[cell]) == m_current
                                 : m_enableNone && cell == colours && m_current == CWynColor::kNone;
        if (cell == m_hot || current) {
            RECT mark = r;
            ::InflateRect(&mark, 2, 2);
            ::FrameRect(dc, &mark,
                        ::GetSysColorBrush(cell == m_hot ? COLOR_HIGHLIGHT : COLOR_3DDKSHADOW));
        }
        if (cell < colours) {
            DrawSwatch(dc, r, static_cast<int>(kBasic[cell]));
            continue;
        }
        const bool none = m_enableNone && cell == colours;
        const wchar_t* text =
            none ? m_engine.GetString(L"WYN_STR_COLOR_NONE", nullptr, L"None")
                 : m_engine.GetString(L"WYN_STR_COLOR_MORE", nullptr, L"More colours...");
        ::DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

SIZE CWynColorPicker::Size() const {
    const RECT last = CellRect(CellCount() - 1);
    // Client size plus the border.
    return {kColumns * (kCell + kGap) + kGap + 2 * ::GetSystemMetrics(SM_CXBORDER),
            last.bottom + kGap + 2 * ::GetSystemMetrics(SM_CYBORDER)};
}
