#include "ui/custom_list.h"

#include <windowsx.h>

#include <oleacc.h>

#include <algorithm>
#include <climits>
#include <string>

#include "base/win_handles.h"
#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kClassName[] = L"WYN_CUSTOM_LIST";
constexpr wchar_t kProperty[] = L"CWynCustomList_this";

HFONT GuiFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

bool Meets(const RECT& a, const RECT& b) {
    RECT meet{};
    return ::IntersectRect(&meet, &a, &b) != FALSE;
}

} // namespace

CWynCustomList::CWynCustomList(CWynElement* parent, CWynEngine* engine)
    : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->module(), kClassName,
        &kelvo::OwnWindowProc<kProperty, &CWynCustomList::WindowProc, &CWynCustomList::m_hWnd,
                              &CWynCustomList::m_ownWindow>,
        CS_DBLCLKS));
}

bool CWynCustomList::IsType(std::wstring_view name, CWynElement*& element) {
    return AnswerType(L"customlist", name, element);
}

bool CWynCustomList::Parse(IXMLDOMNode* node) {
    CWynElement::Parse(node);
    m_multiSelection = CWynAttributes(node).Bool(L"multi-selection");
    return true;
}

void CWynCustomList::Create() {
    kelvo::ControlWindow control;
    control.windowClass = kClassName;
    control.style = WS_BORDER | WS_VSCROLL | WS_TABSTOP;
    control.createParam = this;
    if (HWND window = kelvo::CreateControlWindow(*this, control))
        ::ShowScrollBar(window, SB_VERT, FALSE);
    const int width = m_requestedWidth ? m_requestedWidth : m_minWidth ? m_minWidth : 14;
    const int height = m_requestedHeight ? m_requestedHeight : m_minHeight ? m_minHeight : 14;
    const RECT natural = ToPixels({0, 0, width, height});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
    CWynElement::Create();
}

int CWynCustomList::AddItem(std::uintptr_t data) {
    // Placed after the last item, so that the tops stay in order.
    m_items.push_back({0, Total(), data, false});
    return ItemCount() - 1;
}

void CWynCustomList::RecalculateHeights() {
    {
        kelvo::window_dc dc(m_hWnd);
        int top = 0;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            Item& item = m_items[i];
            MeasureRecord record{static_cast<int>(i), item.data, 0};
            RaiseEvent(L"customlst-getheight", reinterpret_cast<WPARAM>(dc.get()),
                       reinterpret_cast<LPARAM>(&record));
            item.top = top;
            item.height = static_cast<int>(std::min<std::uint32_t>(record.height, INT_MAX - top));
            top += item.height;
        }
    }
    UpdateScrollBar(true);
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_REORDER, m_hWnd, -1);
}

void CWynCustomList::DeleteAllItems() {
    for (const Item& item : m_items)
        RaiseEvent(L"customlst-delitem", item.data, 0);
    m_items.clear();
    m_selected.clear();
    // No index of the old items may reach an owner.
    m_current = -1;
    m_scroll = 0;
    UpdateScrollBar(false);
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_REORDER, m_hWnd, -1);
}

void CWynCustomList::SelectItem(int index) {
    if (IsValidIndex(index))
        MoveCurrent(index, false);
}

bool CWynCustomList::IsValidIndex(int index) const noexcept {
    return index >= 0 && index < ItemCount();
}

RECT CWynCustomList::ItemRect(int index) const noexcept {
    RECT client{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    if (!IsValidIndex(index))
        return {client.left, 0, client.right, 0};
    const Item& item = m_items[static_cast<std::size_t>(index)];
    const int top = item.top - m_scroll;
    return {client.left, top, client.right, top + item.height};
}

int CWynCustomList::HitTest(POINT point) const noexcept {
    RECT client{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    if (point.x < client.left || point.x >= client.right)
        return -1;
    const long long y = static_cast<long long>(point.y) + m_scroll;
    if (y < 0 || y >= Total())
        return -1;
    // Zero-height items hold no point: the first item ending below y begins
    // at or above it.
    return FirstEndingBelow(static_cast<int>(y));
}

std::uintptr_t CWynCustomList::ItemData(int index) const noexcept {
    return IsValidIndex(index) ? m_items[static_cast<std::size_t>(index)].data : 0;
}

bool CWynCustomList::IsSelected(int index) const noexcept {
    return IsValidIndex(index) && m_items[static_cast<std::size_t>(index)].selected;
}

int CWynCustomList::Total() const noexcept {
    return m_items.empty() ? 0 : m_items.back().top + m_items.back().height;
}

int CWynCustomList::PageHeight() const noexcept {
    RECT client{};
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &client);
    return client.bottom - client.top;
}

int CWynCustomList::FirstEndingBelow(int y) const noexcept {
    const auto found = std::partition_point(m_items.begin(), m_items.end(), [y](const Item& item) {
        return item.top + item.height <= y;
    });
    return static_cast<int>(found - m_items.begin());
}

void CWynCustomList::InvalidateItem(int index) const noexcept {
    if (!m_hWnd || !IsValidIndex(index))
        return;
    const RECT r = ItemRect(index);
    ::InvalidateRect(m_hWnd, &r, FALSE);
}

void CWynCustomList::UpdateScrollBar(bool keep_current_visible) {
    if (!m_hWnd)
        return;
    const int total = Total();
    const int page = PageHeight();
    if (m_items.empty() || page >= total) {
        ShowScrollBar(false);
        ScrollTo(0);
        return;
    }
    int position = m_scroll;
    if (keep_current_visible && IsValidIndex(m_current)) {
        const RECT r = ItemRect(m_current);
        // The top of an item taller than the page stays in view.
        if (r.top < 0)
            position += r.top;
        else if (r.bottom > page)
            position += std::min(r.bottom - page, r.top);
    }
    ScrollTo(std::clamp(position, 0, total - page));
    ShowScrollBar(true);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = total - 1; // with the page, the last position is total - page
    info.nPage = static_cast<UINT>(page);
    info.nPos = m_scroll;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CWynCustomList::ShowScrollBar(bool show) {
    // Showing or hiding changes the frame, which is repainted whole: only
    // when it changes.
    const bool shown = (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_VSCROLL) != 0;
    if (show != shown)
        ::ShowScrollBar(m_hWnd, SB_VERT, show);
}

void CWynCustomList::ScrollTo(int position) {
    if (position == m_scroll)
        return;
    m_scroll = position;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CWynCustomList::ScrollBy(int amount) {
    if (m_items.empty())
        return;
    const int last = std::max(Total() - PageHeight(), 0);
    const long long wanted = static_cast<long long>(m_scroll) + amount;
    const int position = static_cast<int>(std::clamp<long long>(wanted, 0, last));
    if (position == m_scroll)
        return;
    ScrollTo(position);
    UpdateScrollBar(false);
}

int CWynCustomList::LineHeight() const {
    kelvo::window_dc dc(m_hWnd);
    kelvo::select_object font(dc.get(), GuiFont());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    return metrics.tmHeight;
}

void CWynCustomList::MoveCurrent(int index, bool add) {
    const int previous = m_current;
    m_current = index;
    Item& item = m_items[static_cast<std::size_t>(index)];
    if (!add) {
        for (int other : m_selected) {
            if (other != index) {
                m_items[static_cast<std::size_t>(other)].selected = false;
                InvalidateItem(other);
            }
        }
        m_selected.clear();
    }
    if (!item.selected) {
        item.selected = true;
        m_selected.push_back(index);
    }
    InvalidateItem(previous);
    InvalidateItem(index);
    if (!add)
        UpdateScrollBar(true);
    if (::GetFocus() == m_hWnd)
        kelvo::CAccessibility::Notify(EVENT_OBJECT_FOCUS, m_hWnd, index);
    kelvo::CAccessibility::Notify(add ? EVENT_OBJECT_SELECTIONADD : EVENT_OBJECT_SELECTION, m_hWnd,
                                  index);
}

void CWynCustomList::SelectAndTell(int index) {
    SelectItem(index);
    RaiseEvent(L"customlst-selchanged");
}

void CWynCustomList::OnMouseDown(HWND window, WPARAM wParam, LPARAM lParam) {
    ::SetFocus(window);
    const int hit = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (hit < 0)
        return;
    // The Ctrl key as it was when the button went down.
    MoveCurrent(hit, m_multiSelection && (wParam & MK_CONTROL));
    RaiseEvent(L"customlst-selchanged");
}

void CWynCustomList::OnKeyDown(WPARAM key) {
    const bool current = IsValidIndex(m_current);
    const int last = ItemCount() - 1;
    switch (key) {
    case VK_RETURN:
        if (current)
            RaiseEvent(L"customlst-keyenter", ItemData(m_current));
        return;
    case VK_DELETE:
        if (current)
            RaiseEvent(L"customlst-keydel", ItemData(m_current));
        return;
    default:
        break;
    }
    if (m_items.empty())
        return;
    int target = -1;
    const RECT r = ItemRect(m_current);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    switch (key) {
    case VK_UP:
        target = current ? (m_current > 0 ? m_current - 1 : -1) : last;
        break;
    case VK_DOWN:
        target = current ? (m_current < last ? m_current + 1 : -1) : 0;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = last;
        break;
    case VK_PRIOR:
        if (!current)
            target = last;
        else if (const int hit = HitTest({centre.x, centre.y - PageHeight()}); hit >= 0)
            target = hit;
        else
            target = 0;
        break;
    case VK_NEXT:
        if (!current)
            target = 0;
        else if (const int hit = HitTest({centre.x, centre.y + PageHeight()}); hit >= 0)
            target = hit;
        else
            target = last;
        break;
    default:
        return;
    }
    if (target >= 0)
        SelectAndTell(target);
}

void CWynCustomList::OnContextMenu(LPARAM lParam) {
    if (!IsValidIndex(m_current))
        return;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // (-1, -1): the menu key or Shift+F10; the menu goes to the current item.
    if (point.x == -1 && point.y == -1) {
        const RECT r = ItemRect(m_current);
        point = {r.left, r.top};
        ::ClientToScreen(m_hWnd, &point);
    }
    RaiseEvent(L"customlst-ctxmenu", ItemData(m_current), MAKELPARAM(point.x, point.y));
}

void CWynCustomList::OnVScroll(HWND window, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        ScrollBy(-LineHeight());
        break;
    case SB_LINEDOWN:
        ScrollBy(LineHeight());
        break;
    case SB_PAGEUP:
        ScrollBy(-PageHeight());
        break;
    case SB_PAGEDOWN:
        ScrollBy(PageHeight());
        break;
    case SB_TOP:
        ScrollBy(-m_scroll);
        break;
    case SB_BOTTOM:
        ScrollBy(Total());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The message carries only 16 bits of the position; the scroll bar
        // has all 32.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        if (::GetScrollInfo(window, SB_VERT, &info))
            ScrollBy(info.nTrackPos - m_scroll);
        break;
    }
    default:
        break;
    }
}

LRESULT CWynCustomList::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_NCCALCSIZE: {
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        // One more pixel inside the border makes the frame two pixels wide.
        RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(lParam);
        ::InflateRect(client, -1, -1);
        return result;
    }
    case WM_NCPAINT: {
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        PaintFrame(window);
        return result;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_FRAME);
        if (message == WM_SETFOCUS && IsValidIndex(m_current))
            kelvo::CAccessibility::Notify(EVENT_OBJECT_FOCUS, window, m_current);
        break;
    case WM_SIZE:
        UpdateScrollBar(false);
        break;
    case WM_VSCROLL:
        OnVScroll(window, wParam);
        return 0;
    case WM_MOUSEWHEEL:
        // One notch of 120 moves one line; smaller steps move in proportion.
        ScrollBy(-(GET_WHEEL_DELTA_WPARAM(wParam) * LineHeight()) / WHEEL_DELTA);
        return 0;
    case WM_LBUTTONDOWN:
        OnMouseDown(window, wParam, lParam);
        return 0;
    case WM_RBUTTONDOWN:
        OnMouseDown(window, wParam, lParam);
        break;
    case WM_LBUTTONDBLCLK: {
        ::SetFocus(window);
        const int hit = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hit >= 0)
            RaiseEvent(L"customlst-dblclick", ItemData(hit));
        return 0;
    }
    case WM_RBUTTONUP: {
        const int hit = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (hit >= 0)
            RaiseEvent(L"customlst-rclick", ItemData(hit));
        break; // the default procedure sends WM_CONTEXTMENU
    }
    case WM_CONTEXTMENU:
        OnContextMenu(lParam);
        return 0;
    case WM_GETDLGCODE:
        // Enter and Delete act on the list, not on the dialog.
        return DLGC_WANTARROWS | DLGC_WANTCHARS |
               (wParam == VK_RETURN || wParam == VK_DELETE ? DLGC_WANTALLKEYS : 0);
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_GETOBJECT:
        return m_accessibility.OnGetObject(window, wParam, lParam);
    case WM_DESTROY:
        m_accessibility.Disconnect();
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CWynCustomList::Paint(HWND window) {
    kelvo::CBufferedPaint paint(window);
    if (!paint.IsValid())
        return;
    const RECT& update = paint.UpdateRect();
    kelvo::CPaintContext& context = paint.Context();
    ::FillRect(context.Dc(), &update, ::GetSysColorBrush(COLOR_WINDOW));
    // Only the rows that meet the update rectangle, found by their tops.
    for (int i = FirstEndingBelow(update.top + m_scroll);
         i < ItemCount() && m_items[static_cast<std::size_t>(i)].top - m_scroll < update.bottom;
         ++i) {
        const Item& item = m_items[static_cast<std::size_t>(i)];
        DrawRecord record{i, item.data, ItemRect(i),
                          (item.selected ? kSelected : 0u) | (i == m_current ? kCurrent : 0u)};
        if (Meets(record.rect, update))
            RaiseEvent(L"customlst-drawitem", reinterpret_cast<WPARAM>(&context),
                       reinterpret_cast<LPARAM>(&record));
    }
}

void CWynCustomList::PaintFrame(HWND window) const {
    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    kelvo::CPaintBuffer buffer;
    if (!buffer.Create(width, height))
        return;
    {
        // Drawn on transparent pixels and laid over the border, so that only
        // the frame's pixels change: the scroll bar stays as the system drew it.
        const kelvo::CPaintContext context(buffer, {0, 0});
        cairo_t* cr = context.Cairo();
        if (!cr)
            return;
        const bool focused = ::GetFocus() == window;
        cairo_set_line_width(cr, 2.0);
        context.SetColour(::GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        cairo_rectangle(cr, 1.0, 1.0, width - 2.0, height - 2.0);
        cairo_stroke(cr);
        if (!focused) {
            cairo_set_line_width(cr, 1.0);
            context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
            cairo_rectangle(cr, 0.5, 0.5, width - 1.0, height - 1.0);
            cairo_stroke(cr);
        }
        context.Flush();
    }
    kelvo::window_dc dc(window, true);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc.get(), 0, 0, width, height, buffer.Dc(), 0, 0, width, height, blend);
}

long CWynCustomList::AccRole() const {
    return ROLE_SYSTEM_LIST;
}

long CWynCustomList::AccItemCount() const {
    return ItemCount();
}

std::wstring CWynCustomList::AccItemName(long index) {
    std::wstring name;
    RaiseEvent(L"customlst-getname", ItemData(static_cast<int>(index)),
               reinterpret_cast<LPARAM>(&name));
    return name;
}

long CWynCustomList::AccItemState(long index) const {
    const int i = static_cast<int>(index);
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (IsSelected(i))
        state |= STATE_SYSTEM_SELECTED;
    if (i == m_current && ::GetFocus() == m_hWnd)
        state |= STATE_SYSTEM_FOCUSED;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (!Meets(ItemRect(i), client))
        state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

RECT CWynCustomList::AccItemRect(long index) const {
    return ItemRect(static_cast<int>(index));
}

long CWynCustomList::AccItemAt(POINT client) const {
    return HitTest(client);
}

long CWynCustomList::AccFocusedItem() const {
    return IsValidIndex(m_current) ? m_current : -1;
}

std::vector<long> CWynCustomList::AccSelectedItems() const {
    std::vector<long> selected(m_selected.begin(), m_selected.end());
    std::sort(selected.begin(), selected.end());
    return selected;
}

const wchar_t* CWynCustomList::AccDefaultAction(long index) const {
    return index >= 0 ? L"Double click" : nullptr;
}

bool CWynCustomList::AccDoDefaultAction(long index) {
    if (!IsValidIndex(static_cast<int>(index)))
        return false;
    // As the mouse would: the first click selects, the second acts.
    SelectAndTell(static_cast<int>(index));
    RaiseEvent(L"customlst-dblclick", ItemData(static_cast<int>(index)));
    return true;
}
