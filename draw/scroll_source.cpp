#include "draw/scroll_source.h"

#include <algorithm>
#include <array>
#include <climits>

namespace kelvo {

void CScrollSource::OnVScroll(WPARAM wParam) {
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
        ScrollBy(TotalHeight());
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // Not HIWORD(wParam): that is the position cut to 16 bits.
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        if (::GetScrollInfo(ScrollingWindow(), SB_VERT, &info))
            ScrollBy(info.nTrackPos - m_scroll);
        break;
    }
    default:
        break;
    }
}

void CScrollSource::OnMouseWheel(WPARAM wParam) {
    const long long delta = GET_WHEEL_DELTA_WPARAM(wParam);
    const long long amount = -(delta * LineHeight()) / WHEEL_DELTA;
    ScrollBy(static_cast<int>(std::clamp<long long>(amount, INT_MIN, INT_MAX)));
}

bool CScrollSource::OnKeyDown(WPARAM key) {
    const int count = ItemCount();
    const bool current = IsValidIndex(m_current);
    const int last = count - 1;
    int target = -1;
    switch (key) {
    case VK_UP:
        target = current ? m_current - 1 : last;
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
    case VK_NEXT: {
        const bool up = key == VK_PRIOR;
        if (!current) {
            target = up ? last : 0;
            break;
        }
        // The row a page above or below the middle of the current one, else
        // the end in that direction.
        const RECT r = ItemRect(m_current);
        const int page = up ? -PageHeight() : PageHeight();
        const int hit = HitTest({(r.left + r.right) / 2, (r.top + r.bottom) / 2 + page});
        target = hit >= 0 ? hit : up ? 0 : last;
        break;
    }
    default:
        return false;
    }
    if (count == 0 || !IsValidIndex(target))
        return true;
    SetCurrent(target, true);
    SelectionChanged();
    return true;
}

void CScrollSource::UpdateScrollBar(bool keep_current_visible) {
    HWND window = ScrollingWindow();
    if (!window)
        return;
    const int total = TotalHeight();
    const int page = PageHeight();
    if (ItemCount() == 0 || page >= total) {
        ShowScrollBar(false);
        ScrollTo(0);
        return;
    }
    int position = m_scroll;
    if (keep_current_visible && IsValidIndex(m_current)) {
        const RECT r = ItemRect(m_current);
        // A row taller than the page shows its top.
        if (r.top < 0)
            position += r.top;
        else if (r.bottom > page)
            position += static_cast<int>(std::min<LONG>(r.bottom - page, r.top));
    }
    ScrollTo(std::clamp(position, 0, total - page));
    ShowScrollBar(true);
    // Setting the bar redraws it: only when it would change.
    const BarState wanted{total - 1, page, m_scroll};
    if (wanted == m_bar)
        return;
    m_bar = wanted;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = total - 1; // with the page, the last position is total - page
    info.nPage = static_cast<UINT>(page);
    info.nPos = m_scroll;
    ::SetScrollInfo(window, SB_VERT, &info, FALSE);
    // Drawn again only when what it shows changed (a refill of a long list
    // mostly leaves the thumb where it was, and drawing a themed bar is slow),
    // and then with the next paint, so that bar and rows reach the screen
    // together.
    SCROLLBARINFO shown{};
    shown.cbSize = sizeof shown;
    const bool known = ::GetScrollBarInfo(window, OBJID_VSCROLL, &shown) != FALSE;
    const BarLook look{shown.xyThumbTop, shown.xyThumbBottom, std::to_array(shown.rgstate)};
    if (known && look == m_barLook)
        return;
    m_barLook = known ? look : BarLook{};
    ::RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void CScrollSource::ScrollBy(int amount) {
    if (ItemCount() == 0)
        return;
    const int last = std::max(TotalHeight() - PageHeight(), 0);
    const long long wanted = static_cast<long long>(m_scroll) + amount;
    const int position = static_cast<int>(std::clamp<long long>(wanted, 0, last));
    if (position == m_scroll)
        return;
    ScrollTo(position);
    UpdateScrollBar(false);
}

void CScrollSource::SetCurrent(int index, bool keep_visible) {
    if (!IsValidIndex(index))
        return;
    const int previous = m_current;
    m_current = index;
    InvalidateItem(previous);
    InvalidateItem(index);
    if (keep_visible)
        UpdateScrollBar(true);
}

bool CScrollSource::IsValidIndex(int index) const {
    return index >= 0 && index < ItemCount();
}

RECT CScrollSource::ItemRect(int index) const {
    RECT client{};
    if (HWND window = ScrollingWindow())
        ::GetClientRect(window, &client);
    if (!IsValidIndex(index))
        return {client.left, 0, client.right, 0};
    const int top = ItemTop(index) - m_scroll;
    return {client.left, top, client.right, top + ItemHeight(index)};
}

int CScrollSource::HitTest(POINT point) const {
    RECT client{};
    if (HWND window = ScrollingWindow())
        ::GetClientRect(window, &client);
    if (point.x < client.left || point.x >= client.right)
        return -1;
    const long long y = static_cast<long long>(point.y) + m_scroll;
    if (y < 0 || y >= TotalHeight())
        return -1;
    // A row of height 0 holds no point; between rows lies none.
    const int found = FirstEndingBelow(static_cast<int>(y));
    return found < ItemCount() && ItemTop(found) <= y ? found : -1;
}

int CScrollSource::PageHeight() const {
    RECT client{};
    if (HWND window = ScrollingWindow())
        ::GetClientRect(window, &client);
    return client.bottom - client.top;
}

int CScrollSource::TotalHeight() const {
    const int count = ItemCount();
    return count == 0 ? 0 : ItemTop(count - 1) + ItemHeight(count - 1);
}

void CScrollSource::InvalidateItem(int index) const {
    HWND window = ScrollingWindow();
    if (!window || !IsValidIndex(index))
        return;
    const RECT r = ItemRect(index);
    ::InvalidateRect(window, &r, FALSE);
}

int CScrollSource::FirstEndingBelow(int y) const {
    int low = 0;
    int high = ItemCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (ItemTop(middle) + ItemHeight(middle) <= y)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void CScrollSource::Reset() noexcept {
    m_scroll = 0;
    m_current = -1;
}

void CScrollSource::ScrollTo(int position) {
    if (position == m_scroll)
        return;
    m_scroll = position;
    if (HWND window = ScrollingWindow())
        ::InvalidateRect(window, nullptr, FALSE);
}

void CScrollSource::ShowScrollBar(bool show) {
    // Showing or hiding changes the frame, which is then repainted whole:
    // only when it changes.
    HWND window = ScrollingWindow();
    const bool shown = (::GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL) != 0;
    if (show != shown)
        ::ShowScrollBar(window, SB_VERT, show);
    if (!show) {
        m_bar = {};
        m_barLook = {};
    }
}

} // namespace kelvo
