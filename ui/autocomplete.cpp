#include "ui/autocomplete.h"

#include <windowsx.h>

#include <oleacc.h>
#include <richedit.h>

#include <algorithm>
#include <cstddef>

#include "draw/paint_buffer.h"
#include "wyn/engine/no_case.h"

namespace {

constexpr wchar_t kClassName[] = L"CCODEAUTOCOMPLETE_WND";
constexpr wchar_t kProperty[] = L"autocomplete_this";
constexpr int kMaxRows = 10;
constexpr int kTextInset = 5; // pixels left and right of a row's text
constexpr DWORD kStyle = WS_POPUP | WS_THICKFRAME;
constexpr DWORD kExStyle = WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

// The menu font of the system at `dpi`; the GUI font if the system names none.
kelvo::UniqueHfont MenuFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi))
        return kelvo::UniqueHfont(::CreateFontIndirectW(&metrics.lfMenuFont));
    return {};
}

HFONT GuiFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

CAutoCompletePopup::CAutoCompletePopup(Kind kind) : m_kind(kind) {
    WNDCLASSEXW description =
        kelvo::ClassDescription(::GetModuleHandleW(nullptr), kClassName,
                                &kelvo::OwnWindowProc<kProperty, &CAutoCompletePopup::PopupProc,
                                                      &CAutoCompletePopup::m_popup>,
                                CS_HREDRAW | CS_VREDRAW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    kelvo::RegisterWindowClass(description);
}

CAutoCompletePopup::~CAutoCompletePopup() {
    Close();
}

bool CAutoCompletePopup::Open(HWND edit, std::vector<std::wstring> items) {
    Close();
    if (items.empty() || !edit)
        return false;
    m_items = std::move(items);
    m_edit = edit;
    m_top = 0;
    m_selected = 0;
    // Owned by the edit window's top-level window, above it; never activated.
    if (!::CreateWindowExW(kExStyle, kClassName, L"", kStyle, 0, 0, 200, 200, edit, nullptr,
                           ::GetModuleHandleW(nullptr), this))
        return false;
    m_start = Caret();
    Place(m_start);
    if (!kelvo::CWindowSubclass::Install<&CAutoCompletePopup::EditProc,
                                         &CAutoCompletePopup::m_subclass>(edit, *this)) {
        Close();
        return false;
    }
    ShowSelection();
    UpdateScrollBar();
    kelvo::CAccessibility::Notify(EVENT_OBJECT_SELECTION, m_popup.Get(), m_selected);
    return true;
}

void CAutoCompletePopup::Close() noexcept {
    m_subclass.Reset();
    m_accessibility.Disconnect();
    m_popup.Reset();
}

int CAutoCompletePopup::VisibleRows() const {
    RECT client{};
    ::GetClientRect(m_popup.Get(), &client);
    return std::max(static_cast<int>(client.bottom) / std::max(m_itemHeight, 1), 1);
}

int CAutoCompletePopup::Caret() const {
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(m_edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int CAutoCompletePopup::LastTop() const {
    return std::max(static_cast<int>(m_items.size()) - VisibleRows(), 0);
}

void CAutoCompletePopup::Place(int caret) {
    HWND popup = m_popup.Get();
    // The DPI of the box it completes, which is where it opens.
    const UINT found_dpi = ::GetDpiForWindow(m_edit);
    const UINT dpi = found_dpi > 0 ? found_dpi : USER_DEFAULT_SCREEN_DPI;
    if (!m_font || dpi != m_fontDpi) {
        m_font = MenuFont(dpi);
        m_fontDpi = dpi;
    }
    const auto scale = [dpi](int value) {
        return ::MulDiv(value, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    };
    int width = 0;
    {
        kelvo::WindowDc dc(popup);
        kelvo::SelectedObject font(dc.Get(), m_font ? m_font.Get() : GuiFont());
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.Get(), &metrics);
        int height = metrics.tmHeight;
        for (const std::wstring& item : m_items) {
            SIZE size{};
            ::GetTextExtentPoint32W(dc.Get(), item.c_str(), static_cast<int>(item.size()), &size);
            width = std::max<int>(width, size.cx);
            height = std::max<int>(height, size.cy);
        }
        m_itemHeight = height + scale(2);
    }
    // Room for the widest item and the scroll bar, and for up to ten rows.
    const int rows = std::min(static_cast<int>(m_items.size()), kMaxRows);
    RECT outer{0, 0, width + ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) + scale(15),
               m_itemHeight * rows};
    ::AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, dpi);
    const SIZE size{outer.right - outer.left, outer.bottom - outer.top};

    const CaretLine line = LineAt(caret);
    POINT below{line.x, line.bottom};
    POINT above{line.x, line.top};
    ::ClientToScreen(m_edit, &below);
    ::ClientToScreen(m_edit, &above);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromPoint(below, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    POINT at = below;
    if (at.y + size.cy > work.bottom && above.y - size.cy >= work.top)
        at.y = above.y - size.cy;
    at.x = std::max<int>(std::min<int>(at.x, work.right - size.cx), work.left);
    ::SetWindowPos(popup, HWND_TOP, at.x, at.y, size.cx, size.cy,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void CAutoCompletePopup::Select(int index) {
    m_selected = index;
    ShowSelection();
    UpdateScrollBar();
    ::InvalidateRect(m_popup.Get(), nullptr, FALSE);
    if (index >= 0)
        kelvo::CAccessibility::Notify(EVENT_OBJECT_SELECTION, m_popup.Get(), index);
}

void CAutoCompletePopup::MoveSelection(int delta) {
    const int last = static_cast<int>(m_items.size()) - 1;
    const int index = std::clamp(m_selected + delta, 0, last);
    if (index != m_selected)
        Select(index);
}

void CAutoCompletePopup::ScrollTo(int top) {
    top = std::clamp(top, 0, LastTop());
    if (top == m_top)
        return;
    m_top = top;
    UpdateScrollBar();
    ::InvalidateRect(m_popup.Get(), nullptr, FALSE);
}

void CAutoCompletePopup::ShowSelection() {
    const int rows = VisibleRows();
    if (m_selected < 0)
        m_top = 0;
    else if (m_selected < m_top)
        m_top = m_selected;
    else if (m_selected >= m_top + rows)
        m_top = m_selected - rows + 1;
}

void CAutoCompletePopup::UpdateScrollBar() {
    HWND popup = m_popup.Get();
    const int count = static_cast<int>(m_items.size());
    const int rows = VisibleRows();
    if (rows >= count) {
        ::ShowScrollBar(popup, SB_VERT, FALSE);
        return;
    }
    ::ShowScrollBar(popup, SB_VERT, TRUE);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = count - 1;
    info.nPage = static_cast<UINT>(rows);
    info.nPos = m_top;
    ::SetScrollInfo(popup, SB_VERT, &info, TRUE);
}

void CAutoCompletePopup::Filter() {
    const int caret = Caret();
    int found = -1;
    if (caret > m_start) {
        const kelvo::WipedString<wchar_t> typed = TextRange(m_start, caret);
        const auto match =
            std::find_if(m_items.begin(), m_items.end(), [&](const std::wstring& item) {
                return item.size() >= typed.size() &&
                       kelvo::EqualsNoCase(std::wstring_view(item).substr(0, typed.size()), typed);
            });
        if (match != m_items.end())
            found = static_cast<int>(match - m_items.begin());
    }
    Select(found);
}

void CAutoCompletePopup::Accept() {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_items.size()))
        return;
    const std::wstring text = m_items[static_cast<std::size_t>(m_selected)];
    const int caret = Caret();
    Close();
    // The typed text is replaced by the whole item.
    if (caret > m_start)
        SelectRange(m_start, caret);
    ::SendMessageW(m_edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool CAutoCompletePopup::OnKeyDown(WPARAM key) {
    switch (key) {
    case VK_BACK:
        // At the start the edit control deletes what opened the popup.
        if (Caret() <= m_start)
            Close();
        return false;
    case VK_TAB:
    case VK_RETURN: {
        Accept();
        // The key is the popup's: the character it makes, already on its way,
        // must not reach the edit control (a rich edit would type a tab).
        MSG typed{};
        const WPARAM character = key == VK_TAB ? L'\t' : L'\r';
        if (::PeekMessageW(&typed, m_edit, WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
            typed.wParam == character)
            ::PeekMessageW(&typed, m_edit, WM_CHAR, WM_CHAR, PM_REMOVE);
        return true;
    }
    case VK_ESCAPE:
    case VK_LEFT:
    case VK_RIGHT:
        Close();
        return true;
    case VK_PRIOR:
        MoveSelection(1 - VisibleRows());
        return true;
    case VK_NEXT:
        MoveSelection(VisibleRows() - 1);
        return true;
    case VK_HOME:
        Select(0);
        return true;
    case VK_END:
        Select(static_cast<int>(m_items.size()) - 1);
        return true;
    case VK_UP:
        MoveSelection(-1);
        return true;
    case VK_DOWN:
        MoveSelection(1);
        return true;
    default:
        return false;
    }
}

LRESULT CAutoCompletePopup::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (OnKeyDown(wParam))
            return 0;
        break;
    case WM_CHAR: {
        if (m_kind.closing.find(static_cast<wchar_t>(wParam)) != std::wstring_view::npos)
            Close();
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        if (IsOpen())
            Filter();
        return result;
    }
    case WM_MOUSEWHEEL:
        ScrollTo(m_top + (GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -1 : 1));
        return 0;
    case WM_GETDLGCODE: {
        const LRESULT code = ::DefSubclassProc(window, message, wParam, lParam);
        return m_kind.claimsKeys ? code | DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTTAB : code;
    }
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_DESTROY: {
        const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
        Close();
        return result;
    }
    default:
        break;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

void CAutoCompletePopup::OnVScroll(WPARAM wParam) {
    const int page = std::max(VisibleRows() - 1, 1);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        ScrollTo(m_top - 1);
        break;
    case SB_LINEDOWN:
        ScrollTo(m_top + 1);
        break;
    case SB_PAGEUP:
        ScrollTo(m_top - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(m_top + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        if (::GetScrollInfo(m_popup.Get(), SB_VERT, &info))
            ScrollTo(info.nTrackPos);
        break;
    }
    default:
        break;
    }
}

LRESULT CAutoCompletePopup::PopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // a click leaves the focus in the edit control
    case WM_VSCROLL:
        OnVScroll(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        ScrollTo(m_top + (GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -1 : 1));
        return 0;
    case WM_SIZE:
        // The user may resize the frame: as many rows as fit.
        if (m_popup) {
            ShowSelection();
            UpdateScrollBar();
        }
        break;
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_GETOBJECT:
        return m_accessibility.OnGetObject(window, wParam, lParam);
    case WM_DESTROY:
        // Destroyed with its owner window: the edit control is left alone.
        m_subclass.Reset();
        m_accessibility.Disconnect();
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

RECT CAutoCompletePopup::RowRect(int index) const {
    RECT client{};
    ::GetClientRect(m_popup.Get(), &client);
    const int top = client.top + (index - m_top) * m_itemHeight;
    return {client.left, top, client.right, top + m_itemHeight};
}

void CAutoCompletePopup::Paint(HWND window) {
    kelvo::CBufferedPaint paint(window);
    if (!paint.IsValid())
        return;
    const RECT& update = paint.UpdateRect();
    HDC dc = paint.Context().Dc();
    ::FillRect(dc, &update, ::GetSysColorBrush(COLOR_WINDOW));
    kelvo::SelectedObject font(dc, m_font ? m_font.Get() : GuiFont());
    ::SetBkMode(dc, TRANSPARENT);
    const int count = static_cast<int>(m_items.size());
    const int first = m_top + std::max<int>(update.top, 0) / m_itemHeight;
    for (int i = first; i < count; ++i) {
        RECT row = RowRect(i);
        if (row.top >= update.bottom)
            break;
        const bool selected = i == m_selected;
        if (selected)
            ::FillRect(dc, &row, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::InflateRect(&row, -kTextInset, 0);
        const std::wstring& text = m_items[static_cast<std::size_t>(i)];
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &row,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

long CAutoCompletePopup::AccRole() const {
    return ROLE_SYSTEM_LIST;
}

long CAutoCompletePopup::AccItemCount() const {
    return static_cast<long>(m_items.size());
}

std::wstring CAutoCompletePopup::AccItemName(long index) {
    return m_items[static_cast<std::size_t>(index)];
}

long CAutoCompletePopup::AccItemState(long index) const {
    long state = STATE_SYSTEM_SELECTABLE;
    if (index == m_selected)
        state |= STATE_SYSTEM_SELECTED;
    if (index < m_top || index >= m_top + VisibleRows())
        state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

RECT CAutoCompletePopup::AccItemRect(long index) const {
    return RowRect(static_cast<int>(index));
}

long CAutoCompletePopup::AccItemAt(POINT client) const {
    const long index = m_top + client.y / m_itemHeight;
    return index < static_cast<long>(m_items.size()) ? index : -1;
}

std::vector<long> CAutoCompletePopup::AccSelectedItems() const {
    if (m_selected < 0)
        return {};
    return {m_selected};
}

const wchar_t* CAutoCompletePopup::AccDefaultAction(long index) const {
    return index >= 0 ? L"Insert" : nullptr;
}

bool CAutoCompletePopup::AccDoDefaultAction(long index) {
    if (index < 0)
        return false;
    Select(static_cast<int>(index));
    Accept();
    return true;
}

CCodeAutoComplete::CCodeAutoComplete() : CAutoCompletePopup({L" ]", false}) {}

CAutoCompletePopup::CaretLine CCodeAutoComplete::LineAt(int caret) const {
    // Below the character at the caret, by the height of the text there.
    POINTL at{};
    ::SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), caret);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE;
    ::SendMessageW(Edit(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    kelvo::WindowDc dc(Edit());
    const int height = ::MulDiv(format.yHeight, ::GetDeviceCaps(dc.Get(), LOGPIXELSY), 1440);
    return {static_cast<int>(at.x), static_cast<int>(at.y), static_cast<int>(at.y) + height};
}

kelvo::WipedString<wchar_t> CCodeAutoComplete::TextRange(int from, int to) const {
    kelvo::WipedString<wchar_t> text;
    text.Resize(static_cast<std::size_t>(std::max(to - from, 0)));
    TEXTRANGEW range{{from, to}, text.data()};
    const LRESULT copied =
        ::SendMessageW(Edit(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    text.Resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    return text;
}

void CCodeAutoComplete::SelectRange(int from, int to) const {
    CHARRANGE range{from, to};
    ::SendMessageW(Edit(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CAutoComplete::CAutoComplete() : CAutoCompletePopup({L" ", true}) {}

CAutoCompletePopup::CaretLine CAutoComplete::LineAt(int caret) const {
    // Below the character before the caret: an edit control gives no place
    // for the position after its last character.
    const LRESULT at = ::SendMessageW(Edit(), EM_POSFROMCHAR, std::max(caret - 1, 0), 0);
    const int x = at == -1 ? 0 : GET_X_LPARAM(at);
    const int y = at == -1 ? 0 : GET_Y_LPARAM(at);
    kelvo::WindowDc dc(Edit());
    kelvo::SelectedObject font(dc.Get(), GuiFont());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return {x, y, y + metrics.tmHeight + 3};
}

kelvo::WipedString<wchar_t> CAutoComplete::TextRange(int from, int to) const {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(Edit())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(Edit(), text.data(), static_cast<int>(text.size()))));
    const auto begin = std::min(static_cast<std::size_t>(std::max(from, 0)), text.size());
    const auto end = std::min(static_cast<std::size_t>(std::max(to, from)), text.size());
    return kelvo::WipedString<wchar_t>(std::wstring_view(text).substr(begin, end - begin));
}

void CAutoComplete::SelectRange(int from, int to) const {
    ::SendMessageW(Edit(), EM_SETSEL, static_cast<WPARAM>(from), to);
}
