#include "ui/custom_list.h"

#include <windowsx.h>

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

#include "draw/paint_buffer.h"
#include "wyn/engine/wyn_attributes.h"
#include "wyn/engine/wyn_engine.h"
#include "wyn/host/wyn_control.h"

namespace {

constexpr wchar_t kClassName[] = L"WYN_CUSTOM_LIST";
constexpr wchar_t kProperty[] = L"CWynCustomList_this";

// Fills the band `width` pixels wide along the inside of `rect`'s edges.
void FillBand(HDC dc, const RECT& rect, int width, int colour) {
    HBRUSH brush = ::GetSysColorBrush(colour);
    const RECT sides[] = {
        {rect.left, rect.top, rect.right, rect.top + width},
        {rect.left, rect.bottom - width, rect.right, rect.bottom},
        {rect.left, rect.top + width, rect.left + width, rect.bottom - width},
        {rect.right - width, rect.top + width, rect.right, rect.bottom - width},
    };
    for (const RECT& side : sides)
        ::FillRect(dc, &side, brush);
}

bool Meets(const RECT& a, const RECT& b) {
    RECT meet{};
    return ::IntersectRect(&meet, &a, &b) != FALSE;
}

} // namespace

CWynCustomList::CWynCustomList(CWynElement* parent, CWynEngine* engine)
    : CWynElement(parent, engine) {
    kelvo::RegisterWindowClass(kelvo::ClassDescription(
        engine->Module(), kClassName,
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
    CWynElement::Create();
}

void CWynCustomList::UpdatePixels() {
    CWynElement::UpdatePixels();
    const int width = m_requestedWidth ? m_requestedWidth : m_minWidth ? m_minWidth : 14;
    const int height = m_requestedHeight ? m_requestedHeight : m_minHeight ? m_minHeight : 14;
    const RECT natural = ToPixels({0, 0, width, height});
    m_pixels.minWidth = natural.right;
    m_pixels.minHeight = natural.bottom;
    if (!m_hWnd)
        return;
    // The frame's width inside the border follows the DPI.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The owner measures its rows again at the new DPI.
    if (!m_items.empty())
        RecalculateHeights();
}

int CWynCustomList::AddItem(std::uintptr_t data) {
    // Placed after the last item, so that the tops stay in order.
    m_items.push_back({0, TotalHeight(), data, false, false});
    return ItemCount() - 1;
}

void CWynCustomList::MeasureItems() {
    kelvo::WindowDc dc(m_hWnd);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        MeasureRecord record{static_cast<int>(i), item.data, 0, client.right};
        RaiseEvent(L"customlst-getheight", reinterpret_cast<WPARAM>(dc.Get()),
                   reinterpret_cast<LPARAM>(&record));
        item.height = static_cast<int>(std::min<std::uint32_t>(record.height, INT_MAX));
        item.estimated = record.estimated;
    }
    LayOutFrom(0);
}

void CWynCustomList::LayOutFrom(std::size_t first) {
    int top = first > 0 && first <= m_items.size()
                  ? m_items[first - 1].top + m_items[first - 1].height
                  : 0;
    for (std::size_t i = first; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        item.top = top;
        item.height = std::min(item.height, INT_MAX - top);
        top += item.height;
    }
}

void CWynCustomList::MeasureShown() {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int current = CurrentIndex();
    const RECT current_rect = IsValidIndex(current) ? ItemRect(current) : RECT{};
    const bool current_shown = IsValidIndex(current) && Meets(current_rect, client);
    // Wholly in view, it stays so when it grows.
    const bool current_whole =
        current_shown && current_rect.top >= client.top && current_rect.bottom <= client.bottom;
    const int anchor = current_shown ? current : FirstEndingBelow(ScrollPosition());
    if (!IsValidIndex(anchor))
        return;
    const int anchor_offset = ItemTop(anchor) - ScrollPosition();
    std::optional<kelvo::WindowDc> dc;
    // Each pass measures at least one item or ends: the corrections may
    // bring further estimated items into view.
    for (;;) {
        std::size_t first_changed = m_items.size();
        const int scroll = ScrollPosition();
        for (int i = FirstEndingBelow(scroll);
             i < ItemCount() && m_items[static_cast<std::size_t>(i)].top - scroll < client.bottom;
             ++i) {
            Item& item = m_items[static_cast<std::size_t>(i)];
            if (!item.estimated)
                continue;
            if (!dc)
                dc.emplace(m_hWnd);
            MeasureRecord record{i, item.data, 0, client.right, true};
            RaiseEvent(L"customlst-getheight", reinterpret_cast<WPARAM>(dc->Get()),
                       reinterpret_cast<LPARAM>(&record));
            item.estimated = false;
            const int height = static_cast<int>(std::min<std::uint32_t>(record.height, INT_MAX));
            if (height != item.height) {
                item.height = height;
                first_changed = std::min(first_changed, static_cast<std::size_t>(i));
            }
        }
        if (first_changed == m_items.size())
            break;
        LayOutFrom(first_changed);
        ScrollBy(ItemTop(anchor) - anchor_offset - ScrollPosition());
        UpdateScrollBar(current_whole);
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CWynCustomList::RecalculateHeights() {
    MeasureItems();
    UpdateScrollBar(true);
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_REORDER, m_hWnd, -1);
}

void CWynCustomList::ForgetItems() {
    ForgetTip();
    for (const Item& item : m_items)
        RaiseEvent(L"customlst-delitem", item.data, 0);
    m_items.clear();
    m_selected.clear();
    // No index of the old items may reach an owner.
    Reset();
}

void CWynCustomList::DeleteAllItems() {
    ForgetItems();
    UpdateScrollBar(false);
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_REORDER, m_hWnd, -1);
}

void CWynCustomList::ReplaceItems(const std::vector<std::uintptr_t>& data, int current) {
    ForgetItems();
    m_items.reserve(data.size());
    for (std::uintptr_t item : data)
        m_items.push_back({0, 0, item, false, false});
    MeasureItems();
    if (IsValidIndex(current))
        SetCurrent(current, true);
    else
        UpdateScrollBar(false);
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_REORDER, m_hWnd, -1);
}

std::uintptr_t CWynCustomList::ItemData(int index) const noexcept {
    return IsValidIndex(index) ? m_items[static_cast<std::size_t>(index)].data : 0;
}

bool CWynCustomList::IsSelected(int index) const noexcept {
    return IsValidIndex(index) && m_items[static_cast<std::size_t>(index)].selected;
}

int CWynCustomList::ItemTop(int index) const {
    return m_items[static_cast<std::size_t>(index)].top;
}

int CWynCustomList::ItemHeight(int index) const {
    return m_items[static_cast<std::size_t>(index)].height;
}

int CWynCustomList::LineHeight() const {
    kelvo::WindowDc dc(m_hWnd);
    // The dialog's font at the list's DPI.
    kelvo::SelectedObject font(dc.Get(), GetFont());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.Get(), &metrics);
    return metrics.tmHeight;
}

void CWynCustomList::SetCurrent(int index, bool keep_visible) {
    if (!IsValidIndex(index))
        return;
    // Every flag goes, the item's own too: MarkSelected sets it again and
    // tracks it, so that the next move clears it.
    for (int other : m_selected) {
        m_items[static_cast<std::size_t>(other)].selected = false;
        if (other != index)
            InvalidateItem(other);
    }
    m_selected.clear();
    MarkSelected(index);
    CScrollSource::SetCurrent(index, keep_visible);
    if (::GetFocus() == m_hWnd)
        kelvo::CAccessibility::Notify(EVENT_OBJECT_FOCUS, m_hWnd, index);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_SELECTION, m_hWnd, index);
}

void CWynCustomList::AddToSelection(int index) {
    MarkSelected(index);
    CScrollSource::SetCurrent(index, false);
    if (::GetFocus() == m_hWnd)
        kelvo::CAccessibility::Notify(EVENT_OBJECT_FOCUS, m_hWnd, index);
    kelvo::CAccessibility::Notify(EVENT_OBJECT_SELECTIONADD, m_hWnd, index);
}

void CWynCustomList::MarkSelected(int index) {
    Item& item = m_items[static_cast<std::size_t>(index)];
    if (!item.selected) {
        item.selected = true;
        m_selected.push_back(index);
    }
}

void CWynCustomList::SelectionChanged() {
    RaiseEvent(L"customlst-selchanged");
}

void CWynCustomList::OnMouseDown(HWND window, WPARAM wParam, LPARAM lParam) {
    ::SetFocus(window);
    const int hit = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (hit < 0)
        return;
    // The Ctrl key as it was when the button went down.
    if (m_multiSelection && (wParam & MK_CONTROL))
        AddToSelection(hit);
    else
        SetCurrent(hit, true);
    SelectionChanged();
}

void CWynCustomList::OnContextMenu(LPARAM lParam) {
    const int current = CurrentIndex();
    if (!IsValidIndex(current))
        return;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    // (-1, -1): the menu key or Shift+F10; the menu goes to the current item.
    if (point.x == -1 && point.y == -1) {
        const RECT r = ItemRect(current);
        point = {r.left, r.top};
        ::ClientToScreen(m_hWnd, &point);
    }
    RaiseEvent(L"customlst-ctxmenu", ItemData(current), MAKELPARAM(point.x, point.y));
}

void CWynCustomList::UpdateTip(POINT pointer) {
    const int hit = HitTest(pointer);
    if (hit == m_tipItem)
        return;
    ForgetTip();
    m_tipItem = hit;
    std::wstring text;
    if (hit >= 0)
        RaiseEvent(L"customlst-gettip", ItemData(hit), reinterpret_cast<LPARAM>(&text));
    if (text.empty())
        return;
    if (!m_tip) {
        m_tip.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                      nullptr, nullptr));
        if (!m_tip)
            return;
    }
    // One tool over the item; the tip control copies the text.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.rect = ItemRect(hit);
    tool.lpszText = text.data();
    ::SendMessageW(m_tip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CWynCustomList::ForgetTip() {
    m_tipItem = -1;
    if (!m_tip)
        return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hWnd;
    ::SendMessageW(m_tip.Get(), TTM_POP, 0, 0);
    ::SendMessageW(m_tip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CWynCustomList::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT
    case WM_PAINT:
        MeasureShown();
        Paint(window);
        return 0;
    case WM_NCCALCSIZE: {
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        // Room inside the border for the rest of the frame's width.
        RECT* client = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                              : reinterpret_cast<RECT*>(lParam);
        const int inside = std::max(FocusFrameWidth() - Metric(SM_CXBORDER), 0);
        ::InflateRect(client, -inside, -inside);
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
        if (message == WM_SETFOCUS && IsValidIndex(CurrentIndex()))
            kelvo::CAccessibility::Notify(EVENT_OBJECT_FOCUS, window, CurrentIndex());
        break;
    case WM_SIZE:
        UpdateScrollBar(false);
        break;
    case WM_VSCROLL:
        ForgetTip();
        OnVScroll(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        ForgetTip();
        OnMouseWheel(wParam);
        return 0;
    case WM_MOUSEMOVE:
        UpdateTip({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
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
        ForgetTip();
        if (const int current = CurrentIndex(); IsValidIndex(current) && wParam == VK_RETURN)
            RaiseEvent(L"customlst-keyenter", ItemData(current));
        else if (IsValidIndex(current) && wParam == VK_DELETE)
            RaiseEvent(L"customlst-keydel", ItemData(current));
        else
            OnKeyDown(wParam);
        return 0;
    case WM_GETOBJECT:
        return m_accessibility.OnGetObject(window, wParam, lParam);
    case WM_DESTROY:
        m_accessibility.Disconnect();
        m_tip.Reset();
        m_tipItem = -1;
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
    context.SetScale(GetDpi(), GetFont());
    ::FillRect(context.Dc(), &update, ::GetSysColorBrush(COLOR_WINDOW));
    // Only the rows that meet the update rectangle, found by their tops.
    const int scroll = ScrollPosition();
    for (int i = FirstEndingBelow(update.top + scroll);
         i < ItemCount() && m_items[static_cast<std::size_t>(i)].top - scroll < update.bottom;
         ++i) {
        const Item& item = m_items[static_cast<std::size_t>(i)];
        DrawRecord record{i, item.data, ItemRect(i),
                          (item.selected ? kSelected : 0u) | (i == CurrentIndex() ? kCurrent : 0u)};
        if (Meets(record.rect, update))
            RaiseEvent(L"customlst-drawitem", reinterpret_cast<WPARAM>(&context),
                       reinterpret_cast<LPARAM>(&record));
    }
}

void CWynCustomList::PaintFrame(HWND window) const {
    RECT frame{};
    ::GetWindowRect(window, &frame);
    ::OffsetRect(&frame, -frame.left, -frame.top);
    // Solid bands straight onto the border, so that only the frame's pixels
    // change: the scroll bar stays as the system drew it, and nothing of the
    // window is read back. The frame is 2 pixels at 96 DPI; unfocused, its
    // outer line is a shadow.
    const kelvo::WindowDc dc(window, true);
    const bool focused = ::GetFocus() == window;
    FillBand(dc.Get(), frame, FocusFrameWidth(), focused ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    if (!focused)
        FillBand(dc.Get(), frame, Scale(1), COLOR_BTNSHADOW);
}

bool CWynCustomList::AccName(std::wstring& name) {
    return kelvo::LabelBefore(m_hWnd, name);
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
    if (i == CurrentIndex() && ::GetFocus() == m_hWnd)
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
    return IsValidIndex(CurrentIndex()) ? CurrentIndex() : -1;
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
    SetCurrent(static_cast<int>(index), true);
    SelectionChanged();
    RaiseEvent(L"customlst-dblclick", ItemData(static_cast<int>(index)));
    return true;
}
