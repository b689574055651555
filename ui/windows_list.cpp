#include "ui/windows_list.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

#include "base/win_handles.h"
#include "draw/paint_buffer.h"

namespace kelvo {

CWindowsList::CWindowsList(std::vector<TargetWindow> windows, Choose choose)
    : m_windows(std::move(windows)), m_choose(std::move(choose)) {
    SetClassName(L"KV_WND_LIST");
}

CWindowsList::~CWindowsList() {
    Close();
}

void CWindowsList::PreRegisterClass(WNDCLASSEXW& wc) {
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
}

bool CWindowsList::Open(HWND owner, const RECT& paste, const RECT& paste_to) {
    constexpr DWORD kStyle = WS_POPUP | WS_THICKFRAME | WS_VSCROLL;
    constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
    // Sized for the DPI of the owner's monitor, where the list opens.
    const UINT dpi = ::GetDpiForWindow(owner);
    m_dpi = dpi > 0 ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
    LOGFONTW gui{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    const UINT system_dpi = ::GetDpiForSystem();
    gui.lfHeight =
        ::MulDiv(gui.lfHeight, m_dpi, system_dpi > 0 ? static_cast<int>(system_dpi) : m_dpi);
    m_font.Reset(::CreateFontIndirectW(&gui));
    // The rows get the whole height they need: the frame comes on top, or
    // it would cut the last row and call for a scroll bar.
    RECT frame{0, 0, 0, std::min(kMostRows, ItemCount()) * RowHeight()};
    ::AdjustWindowRectExForDpi(&frame, kStyle & ~WS_VSCROLL, FALSE, kExStyle,
                               static_cast<UINT>(m_dpi));
    const int height = frame.bottom - frame.top;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(instance);
    if (!Create(instance, kExStyle, L"", kStyle, paste.left, paste.top - height,
                paste_to.right - paste.left, height, owner, nullptr))
        return false;
    ::ShowWindow(Hwnd(), SW_SHOW);
    ::UpdateWindow(Hwnd());
    return true;
}

void CWindowsList::Close() noexcept {
    // Destroying the focused chooser takes its focus away, which would close
    // it again from inside its own destruction.
    if (m_closing || !Hwnd())
        return;
    m_closing = true;
    ::DestroyWindow(Hwnd());
    m_closing = false;
}

void CWindowsList::ChooseRow(int index) {
    if (IsValidIndex(index) && m_choose)
        m_choose(m_windows[static_cast<std::size_t>(index)]);
    Close();
}

LRESULT CWindowsList::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        UpdateScrollBar(true);
        return 0;
    case WM_KILLFOCUS:
        // A window being destroyed (with its owner, say) is hidden first and
        // loses the focus after: it is not destroyed a second time.
        if (::IsWindowVisible(hwnd))
            Close();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_NCHITTEST: {
        // The frame is there to be seen, not dragged.
        const LRESULT hit = ::DefWindowProcW(hwnd, msg, wp, lp);
        return hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? HTBORDER : hit;
    }
    case WM_KEYDOWN:
        if (wp == VK_RETURN)
            ChooseRow(CurrentIndex());
        else if (wp == VK_ESCAPE)
            Close();
        else
            OnKeyDown(wp);
        return 0;
    case WM_VSCROLL:
        OnVScroll(wp);
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wp);
        return 0;
    case WM_MOUSEMOVE: {
        // The row under the pointer follows it, without scrolling.
        const int hit = HitTest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        if (hit >= 0 && hit != CurrentIndex())
            SetCurrent(hit, false);
        return 0;
    }
    case WM_LBUTTONDOWN:
        ChooseRow(HitTest({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}));
        return 0;
    case WM_GETOBJECT:
        return m_accessibility.OnGetObject(hwnd, wp, lp);
    case WM_DESTROY:
        m_accessibility.Disconnect();
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void CWindowsList::Paint(HWND window) {
    CBufferedPaint paint(window);
    if (!paint.IsValid())
        return;
    HDC dc = paint.Context().Dc();
    RECT client{};
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    const SelectedObject font(dc, m_font ? static_cast<HGDIOBJ>(m_font.Get())
                                         : ::GetStockObject(DEFAULT_GUI_FONT));
    const int pad = Scale(4), icon = Scale(32);
    const RECT& update = paint.UpdateRect();
    for (int i = std::max(0, FirstEndingBelow(ScrollPosition() + update.top)); i < ItemCount();
         ++i) {
        const RECT row = ItemRect(i);
        if (row.top >= update.bottom)
            break;
        const TargetWindow& item = m_windows[static_cast<std::size_t>(i)];
        const bool current = i == CurrentIndex();
        if (current)
            ::FillRect(dc, &row, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        ::SetTextColor(dc, ::GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        // A window without an icon still shows its title: a blank row could
        // be chosen without the user knowing what it is.
        if (item.icon)
            ::DrawIconEx(dc, row.left + pad, row.top + pad, item.icon, icon, icon, 0, nullptr,
                         DI_NORMAL);
        RECT box{row.left + icon + 3 * pad, row.top + pad, row.right - pad, row.bottom - pad};
        RECT measured = box;
        const int length = static_cast<int>(item.title.size());
        ::DrawTextW(dc, item.title.c_str(), length, &measured,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        // The title is centred vertically.
        const int spare = (box.bottom - box.top) - (measured.bottom - measured.top);
        if (spare > 0)
            ::OffsetRect(&box, 0, spare / 2);
        ::DrawTextW(dc, item.title.c_str(), length, &box,
                    DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

long CWindowsList::AccRole() const {
    return ROLE_SYSTEM_LIST;
}

long CWindowsList::AccItemCount() const {
    return ItemCount();
}

std::wstring CWindowsList::AccItemName(long index) {
    return IsValidIndex(static_cast<int>(index)) ? m_windows[static_cast<std::size_t>(index)].title
                                                 : std::wstring();
}

long CWindowsList::AccItemState(long index) const {
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (index == CurrentIndex())
        state |= STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    return state;
}

RECT CWindowsList::AccItemRect(long index) const {
    return ItemRect(static_cast<int>(index));
}

long CWindowsList::AccItemAt(POINT client) const {
    return HitTest(client);
}

long CWindowsList::AccFocusedItem() const {
    return IsValidIndex(CurrentIndex()) ? CurrentIndex() : -1;
}

const wchar_t* CWindowsList::AccDefaultAction(long index) const {
    return index >= 0 ? L"Choose" : nullptr;
}

bool CWindowsList::AccDoDefaultAction(long index) {
    if (!IsValidIndex(static_cast<int>(index)))
        return false;
    ChooseRow(static_cast<int>(index));
    return true;
}

} // namespace kelvo
