#include "ui/custom_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "draw/paint_buffer.h"
#include "ui/drawn_test.h"
#include "wyn/testing/test_dialog.h"

namespace {

using ui_test::AccessibleOf;
using ui_test::AccName;
using ui_test::AccNumber;
using ui_test::Child;

// Rows are painted in two colours by the parity of their data.
constexpr COLORREF kEven = RGB(0x20, 0x80, 0xC0);
constexpr COLORREF kOdd = RGB(0xE0, 0xC0, 0x40);

// A list and a multi-selection list whose items are numbered 0, 1, ... as
// their data; the owner gives the heights from `heights`, names them "Item
// <n>" and paints them.
class CustomListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui_test::Build(m_root, LR"(<dialog>
            <customlist id="list" width="120" height="80"/>
            <customlist id="multi" width="120" height="80" multi-selection="TRUE"/>
            <textbox id="other"/>
        </dialog>)");
        m_list = dynamic_cast<CWynCustomList*>(m_root.FindById(L"list"));
        m_multi = dynamic_cast<CWynCustomList*>(m_root.FindById(L"multi"));
        ASSERT_NE(m_list, nullptr);
        ASSERT_NE(m_multi, nullptr);
        ASSERT_NE(m_list->Hwnd(), nullptr);
        m_root.answer = [this](CWynElement*, std::wstring_view name, WPARAM first,
                               LPARAM second) -> std::int64_t {
            if (name == L"customlst-getheight") {
                auto* record = reinterpret_cast<CWynCustomList::MeasureRecord*>(second);
                record->height = static_cast<std::uint32_t>(m_heights.at(record->data));
                return 1;
            }
            if (name == L"customlst-getname") {
                *reinterpret_cast<std::wstring*>(second) = L"Item " + std::to_wstring(first);
                return 1;
            }
            if (name == L"customlst-drawitem") {
                const auto* record = reinterpret_cast<CWynCustomList::DrawRecord*>(second);
                auto* context = reinterpret_cast<kelvo::CPaintContext*>(first);
                m_drawn.push_back(record->index);
                HDC dc = context->Dc();
                const bool selected = record->state & CWynCustomList::kSelected;
                kelvo::UniqueHbrush brush(::CreateSolidBrush(selected
                                                                 ? ::GetSysColor(COLOR_HIGHLIGHT)
                                                             : record->data % 2 ? kOdd
                                                                                : kEven));
                ::FillRect(dc, &record->rect, brush.Get());
                const std::wstring text = L"Item " + std::to_wstring(record->data) + L", " +
                                          std::to_wstring(m_heights.at(record->data)) + L" px";
                RECT r = record->rect;
                ::SetBkMode(dc, TRANSPARENT);
                ::SetTextColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
                ::DrawTextW(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
                return 1;
            }
            return 0;
        };
    }

    // Refills `target` with items of these heights.
    void Fill(std::vector<int> item_heights, CWynCustomList* target = nullptr) {
        target = target ? target : m_list;
        target->DeleteAllItems();
        m_heights = std::move(item_heights);
        for (std::size_t i = 0; i < m_heights.size(); ++i)
            EXPECT_EQ(target->AddItem(i), static_cast<int>(i));
        target->RecalculateHeights();
        m_root.events.clear();
    }

    // What the list told its owner since the last call; the questions it
    // asked are left out.
    std::vector<std::wstring> Told() {
        return m_root.TakeEvents([](std::wstring_view name) {
            return name != L"customlst-getheight" && name != L"customlst-drawitem" &&
                   name != L"customlst-getname";
        });
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                 CWynCustomList* target = nullptr) {
        return ::SendMessageW((target ? target : m_list)->Hwnd(), message, wParam, lParam);
    }
    void Key(UINT key) { Send(WM_KEYDOWN, key, 1); }
    // A click of `message`'s button at the middle of item `index`.
    void ClickItem(UINT message, int index, WPARAM keys = 0, CWynCustomList* target = nullptr) {
        target = target ? target : m_list;
        const RECT r = target->ItemRect(index);
        Send(message, keys, MAKELPARAM(10, (r.top + r.bottom) / 2), target);
    }
    int Page() const {
        RECT client{};
        ::GetClientRect(m_list->Hwnd(), &client);
        return client.bottom;
    }
    bool ScrollBarShown() const {
        return (::GetWindowLongW(m_list->Hwnd(), GWL_STYLE) & WS_VSCROLL) != 0;
    }
    std::vector<int> Selected(const CWynCustomList& target) const {
        std::vector<int> selected;
        for (int i = 0; i < target.ItemCount(); ++i) {
            if (target.IsSelected(i))
                selected.push_back(i);
        }
        return selected;
    }
    int LineHeight() const {
        kelvo::WindowDc dc(m_list->Hwnd());
        kelvo::SelectedObject font(dc.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc.Get(), &metrics);
        return metrics.tmHeight;
    }

    CkvWynEngine m_engine{wyn_test::Module()};
    ui_test::OwnerRoot m_root{&m_engine};
    CWynCustomList* m_list = nullptr;
    CWynCustomList* m_multi = nullptr;
    std::vector<int> m_heights;
    std::vector<int> m_drawn;
};

using Names = std::vector<std::wstring>;

TEST_F(CustomListTest, EmptyListPaintsItsBackgroundAndIgnoresEverything) {
    ::RedrawWindow(m_list->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(m_drawn.empty());
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 20, 20), ::GetSysColor(COLOR_WINDOW));
    for (UINT key = VK_RETURN; key <= VK_DELETE; ++key)
        Key(key);
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_list->Hwnd()), -1);
    Send(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    Send(WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 10));
    Send(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -120));
    EXPECT_EQ(Told(), Names{});
    EXPECT_EQ(m_list->CurrentIndex(), -1);
    EXPECT_EQ(m_list->HitTest({10, 10}), -1);
    EXPECT_EQ(m_list->ScrollPosition(), 0);
}

TEST_F(CustomListTest, ItemsThatFitShowNoScrollBar) {
    Fill({10, 10, 10});
    ASSERT_GT(Page(), 30);
    EXPECT_FALSE(ScrollBarShown());
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -120));
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(m_list->ScrollPosition(), 0);

    Fill(std::vector<int>(20, 10));
    EXPECT_TRUE(ScrollBarShown()) << "200 pixels do not fit";
    Fill({10, 10});
    EXPECT_FALSE(ScrollBarShown());
    EXPECT_EQ(m_list->ScrollPosition(), 0);
}

TEST_F(CustomListTest, KeysWithoutACurrentItemSelectAnEnd) {
    const struct {
        UINT key;
        int selected;
    } cases[] = {{VK_UP, 4}, {VK_END, 4}, {VK_PRIOR, 4}, {VK_DOWN, 0}, {VK_HOME, 0}, {VK_NEXT, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Fill({30, 30, 30, 30, 30});
        ASSERT_EQ(m_list->CurrentIndex(), -1) << "a refilled list has no current item";
        Key(c.key);
        EXPECT_EQ(m_list->CurrentIndex(), c.selected);
        EXPECT_EQ(Selected(*m_list), std::vector<int>{c.selected});
        EXPECT_EQ(Told(), Names{L"customlst-selchanged"});
    }
}

TEST_F(CustomListTest, KeysMoveTheCurrentItemAndKeepItInView) {
    Fill(std::vector<int>(50, 20));
    const int page = Page();
    // Page Down from item 1 hits the row a page below its middle; Page Up
    // from there the row a page above that row's middle.
    const int paged = (30 + page) / 20;
    const struct {
        UINT key;
        int current;
        bool told;
    } steps[] = {
        {VK_HOME, 0, true},
        {VK_UP, 0, false}, // nothing above the first
        {VK_DOWN, 1, true},
        {VK_NEXT, paged, true},
        {VK_PRIOR, (paged * 20 + 10 - page) / 20, true},
        {VK_END, 49, true},
        {VK_DOWN, 49, false},
        {VK_NEXT, 49, true}, // nothing a page further: the last
        {VK_PRIOR, (49 * 20 + 10 - page) / 20, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        Key(step.key);
        EXPECT_EQ(m_list->CurrentIndex(), step.current);
        EXPECT_EQ(Told(), step.told ? Names{L"customlst-selchanged"} : Names{});
        const RECT r = m_list->ItemRect(step.current);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.bottom, page) << "the current item is in view";
    }
}

TEST_F(CustomListTest, EnterAndDeleteActOnTheCurrentItem) {
    Fill({30, 30, 30});
    Key(VK_RETURN);
    Key(VK_DELETE);
    EXPECT_EQ(Told(), Names{}) << "no current item";
    m_list->SelectItem(2);
    EXPECT_EQ(Told(), Names{}) << "selecting from code raises nothing";
    Key(VK_RETURN);
    Key(VK_DELETE);
    ASSERT_EQ(m_root.events.size(), 2u);
    EXPECT_EQ(m_root.events[0].name, L"customlst-keyenter");
    EXPECT_EQ(m_root.events[0].first, 2u);
    EXPECT_EQ(m_root.events[1].name, L"customlst-keydel");
    EXPECT_EQ(m_root.events[1].first, 2u);
    const auto code = [&](WPARAM key) { return Send(WM_GETDLGCODE, key); };
    EXPECT_EQ(code(VK_RETURN), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS);
    EXPECT_EQ(code(VK_DELETE), DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS);
    EXPECT_EQ(code(VK_TAB), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(CustomListTest, DeletingAllItemsTellsTheOwnerAndForgetsTheCurrentItem) {
    Fill({30, 30, 30});
    m_list->SelectItem(2);
    m_list->DeleteAllItems();
    ASSERT_EQ(m_root.events.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m_root.events[i].name, L"customlst-delitem");
        EXPECT_EQ(m_root.events[i].first, i);
    }
    m_root.events.clear();
    EXPECT_EQ(m_list->CurrentIndex(), -1);
    EXPECT_TRUE(Selected(*m_list).empty());
    EXPECT_FALSE(ScrollBarShown());
    Fill({30, 30, 30, 30});
    Key(VK_RETURN);
    Send(WM_CONTEXTMENU, 0, -1);
    EXPECT_EQ(Told(), Names{}) << "no index of the old items reaches the owner";
    Key(VK_DOWN);
    EXPECT_EQ(m_list->CurrentIndex(), 0) << "Down starts at the first item again";
}

TEST_F(CustomListTest, ARefillInOneStepKeepsTheScrollBarAndShowsTheCurrentItem) {
    Fill({30, 30, 30, 30, 30, 30, 30, 30});
    ASSERT_TRUE(ScrollBarShown());
    // Frame changes (the scroll bar hidden or shown) are counted.
    static int s_frames = 0;
    const auto count_frames = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) -> LRESULT {
        s_frames += message == WM_NCCALCSIZE;
        return ::DefSubclassProc(window, message, wParam, lParam);
    };
    ASSERT_TRUE(::SetWindowSubclass(m_list->Hwnd(), count_frames, 1, 0));

    s_frames = 0;
    m_heights = {30, 30, 30, 30, 30, 30, 30, 30, 30};
    m_list->ReplaceItems({0, 1, 2, 3, 4, 5, 6, 7, 8}, 8);
    EXPECT_EQ(s_frames, 0);
    EXPECT_EQ(m_root.events.front().name, L"customlst-delitem") << "the old items are told";
    EXPECT_EQ(m_list->ItemCount(), 9);
    EXPECT_EQ(m_list->CurrentIndex(), 8);
    EXPECT_EQ(Selected(*m_list), std::vector<int>{8});
    EXPECT_LE(m_list->ItemRect(8).bottom, Page()) << "in view";

    // The same refill in steps hides the bar and shows it again.
    Fill({30, 30, 30, 30, 30, 30, 30, 30});
    EXPECT_GT(s_frames, 0);
    ::RemoveWindowSubclass(m_list->Hwnd(), count_frames, 1);

    m_list->ReplaceItems({}, 0);
    EXPECT_EQ(m_list->CurrentIndex(), -1);
    EXPECT_FALSE(ScrollBarShown());
}

TEST_F(CustomListTest, CtrlClickAddsOnlyInAMultiSelectionList) {
    Fill({30, 30, 30, 30}, m_multi);
    ClickItem(WM_LBUTTONDOWN, 1, MK_LBUTTON, m_multi);
    ClickItem(WM_LBUTTONDOWN, 3, MK_LBUTTON | MK_CONTROL, m_multi);
    EXPECT_EQ(Selected(*m_multi), (std::vector<int>{1, 3}));
    EXPECT_EQ(m_multi->CurrentIndex(), 3);
    ClickItem(WM_LBUTTONDOWN, 1, MK_LBUTTON | MK_CONTROL, m_multi);
    EXPECT_EQ(Selected(*m_multi), (std::vector<int>{1, 3})) << "Ctrl+click never clears";
    EXPECT_EQ(m_multi->CurrentIndex(), 1);
    ClickItem(WM_LBUTTONDOWN, 2, MK_LBUTTON, m_multi);
    EXPECT_EQ(Selected(*m_multi), std::vector<int>{2}) << "a plain click leaves one";
    EXPECT_EQ(Told(), Names(4, L"customlst-selchanged"));
    EXPECT_EQ(::GetFocus(), m_multi->Hwnd()) << "a click gives the list the focus";

    Fill({30, 30, 30, 30});
    ClickItem(WM_LBUTTONDOWN, 0, MK_LBUTTON);
    ClickItem(WM_LBUTTONDOWN, 2, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(Selected(*m_list), std::vector<int>{2}) << "a single-selection list keeps one";
}

TEST_F(CustomListTest, DoubleAndRightClicksTellTheOwner) {
    Fill({30, 30, 30});
    ClickItem(WM_LBUTTONDBLCLK, 1);
    ClickItem(WM_RBUTTONDOWN, 2);
    ClickItem(WM_RBUTTONUP, 2);
    EXPECT_EQ(Told(), (Names{L"customlst-dblclick", L"customlst-selchanged", L"customlst-rclick",
                             L"customlst-ctxmenu"}));
    EXPECT_EQ(m_list->CurrentIndex(), 2);
    Send(WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 95)); // below the items
    EXPECT_EQ(Told(), Names{});
}

TEST_F(CustomListTest, MenuKeyOpensTheMenuAtTheCurrentItem) {
    Fill({30, 30, 30});
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_list->Hwnd()), -1);
    EXPECT_EQ(Told(), Names{}) << "no current item";
    m_list->SelectItem(1);
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_list->Hwnd()), -1);
    ASSERT_EQ(m_root.events.size(), 1u);
    EXPECT_EQ(m_root.events[0].name, L"customlst-ctxmenu");
    EXPECT_EQ(m_root.events[0].first, 1u);
    POINT corner{0, m_list->ItemRect(1).top};
    ::ClientToScreen(m_list->Hwnd(), &corner);
    EXPECT_EQ(m_root.events[0].second, MAKELPARAM(corner.x, corner.y));
}

TEST_F(CustomListTest, WheelMovesByLinesAndStaysInRange) {
    Fill(std::vector<int>(40, 30));
    const int line = LineHeight();
    const int last = 40 * 30 - Page();
    Send(WM_VSCROLL, SB_PAGEDOWN);
    const int start = m_list->ScrollPosition();
    ASSERT_EQ(start, Page());
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120));
    EXPECT_EQ(m_list->ScrollPosition(), start - line) << "one notch, one line";
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60));
    EXPECT_EQ(m_list->ScrollPosition(), start - line - line / 2) << "half a notch, truncated";
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120 * 200)));
    EXPECT_EQ(m_list->ScrollPosition(), last);
    Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(m_list->ScrollPosition(), last);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120 * 200));
    EXPECT_EQ(m_list->ScrollPosition(), 0);
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(m_list->ScrollPosition(), last);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(m_list->Hwnd(), SB_VERT, &info);
    EXPECT_EQ(info.nPos, last);
    EXPECT_EQ(info.nMax - static_cast<int>(info.nPage) + 1, last)
        << "the thumb ends where the list does";
}

TEST_F(CustomListTest, ThumbDraggedPastSixteenBitsKeepsItsPosition) {
    // 80,000 pixels of rows: the thumb's messages carry the position in 16 bits.
    Fill(std::vector<int>(400, 200));
    HWND window = m_list->Hwnd();
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(::GetScrollBarInfo(window, OBJID_VSCROLL, &bar));
    const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int thumb = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    // The scroll bar's drag loop reads these from the queue.
    POINT end{x, bar.rcScrollBar.bottom - 1};
    ::ScreenToClient(window, &end);
    ::PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y - 20));
    ::PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end.x, end.y));
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
    ::SendMessageW(window, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, thumb));
    EXPECT_EQ(m_list->ScrollPosition(), 400 * 200 - Page()) << "dragged to the end";
    EXPECT_GT(m_list->ScrollPosition(), 0xFFFF);
}

TEST_F(CustomListTest, PaintsOnlyTheRowsThatMeetTheUpdate) {
    Fill(std::vector<int>(1000, 20));
    m_list->SelectItem(500);
    ::UpdateWindow(m_list->Hwnd());
    const int scroll = m_list->ScrollPosition();
    m_drawn.clear();
    const RECT update{0, 25, 50, 45};
    ::InvalidateRect(m_list->Hwnd(), &update, FALSE);
    ::UpdateWindow(m_list->Hwnd());
    const int first = (scroll + 25) / 20;
    const int last = (scroll + 44) / 20;
    std::vector<int> expected;
    for (int i = first; i <= last; ++i)
        expected.push_back(i);
    EXPECT_EQ(m_drawn, expected);
    const int middle = (m_list->ItemRect(first).top + m_list->ItemRect(first).bottom) / 2;
    ASSERT_FALSE(m_list->IsSelected(first));
    // In window coordinates: the frame adds 2 pixels.
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 4, middle + 2), first % 2 ? kOdd : kEven)
        << "painted where the row is";
}

TEST_F(CustomListTest, EstimatedItemsAreMeasuredAsTheyComeIntoViewWithTheCurrentOneSteady) {
    // The owner estimates every item 10 pixels high; measured, each is 20.
    std::vector<int> exact;
    const auto answer = m_root.answer;
    m_root.answer = [&](CWynElement* source, std::wstring_view name, WPARAM first,
                        LPARAM second) -> std::int64_t {
        if (name != L"customlst-getheight")
            return answer(source, name, first, second);
        auto* record = reinterpret_cast<CWynCustomList::MeasureRecord*>(second);
        if (record->exact)
            exact.push_back(record->index);
        record->height = record->exact ? 20 : 10;
        record->estimated = !record->exact;
        return 1;
    };
    Fill(std::vector<int>(1000, 20));
    EXPECT_TRUE(exact.empty()) << "laid out by estimates";
    EXPECT_EQ(m_list->TotalHeight(), 10000);
    m_list->SelectItem(500);
    ASSERT_EQ(m_list->ItemRect(500).bottom, Page()) << "shown last at its estimate";
    ::UpdateWindow(m_list->Hwnd());
    // Shown whole at the bottom, it stays so, grown to its measured height.
    EXPECT_EQ(m_list->ItemRect(500).bottom, Page());
    // What the estimates put in view, and only that, was measured.
    ASSERT_EQ(exact.size(), static_cast<std::size_t>((Page() + 9) / 10));
    for (int index : exact) {
        EXPECT_LE(index, 500);
        EXPECT_GT(index, 500 - Page() / 10 - 1);
        EXPECT_EQ(m_list->ItemRect(index).bottom - m_list->ItemRect(index).top, 20);
    }
    EXPECT_EQ(m_list->TotalHeight(), 10000 + 10 * static_cast<int>(exact.size()));
    exact.clear();
    ::InvalidateRect(m_list->Hwnd(), nullptr, FALSE);
    ::UpdateWindow(m_list->Hwnd());
    EXPECT_TRUE(exact.empty()) << "measured once";
}

TEST_F(CustomListTest, FocusFrameIsTwoPixelsInTheHighlightColour) {
    // Mixed heights, for people to look at.
    Fill({16, 40, 24, 60, 16, 32, 24});
    m_list->SelectItem(1);
    ::SetFocus(m_list->Hwnd());
    RECT outer{};
    ::GetWindowRect(m_list->Hwnd(), &outer);
    // The scroll bar's track, just above its lower arrow, inside the frame.
    const int bar = outer.right - outer.left - 2 - ::GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int track = outer.bottom - outer.top - 2 - ::GetSystemMetrics(SM_CYVSCROLL) - 3;
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 0, 0), highlight);
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 1, 1), highlight);
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 0, 30), highlight);
    EXPECT_TRUE(ui_test::SaveShot(m_list->Hwnd(), L"list-focused"));

    ::SetFocus(m_root.FindById(L"other")->Hwnd());
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 0, 0), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 1, 1), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ui_test::ScreenPixel(m_list->Hwnd(), 1, 30), ::GetSysColor(COLOR_WINDOW));
    EXPECT_NE(ui_test::ScreenPixel(m_list->Hwnd(), bar, track), ::GetSysColor(COLOR_WINDOW))
        << "the scroll bar is left as the system drew it";
    EXPECT_TRUE(ui_test::SaveShot(m_list->Hwnd(), L"list-unfocused"));
}

TEST(CustomListInDialogTest, TheFocusFrameIsTwoPixelsAt96DpiAndScales) {
    wyn_test::InitPlatform();
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        CkvWynEngine engine(wyn_test::Module());
        wyn_test::DescriptionFile file(LR"(<dialog>
            <customlist id="list" width="100" height="60"/>
            <textbox id="other"/>
        </dialog>)");
        wyn_test::ScriptedDialog dialog(file.Path(), &engine);
        dialog.SetDpi(dpi);
        const int frame = ::MulDiv(2, static_cast<int>(dpi), 96);
        const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
        dialog.steps = {[](wyn_test::ScriptedDialog& d) { ::SetFocus(d.Window(L"list")); },
                        [&](wyn_test::ScriptedDialog& d) {
                            HWND list = d.Window(L"list");
                            EXPECT_EQ(ui_test::ScreenPixel(list, 0, 30), highlight);
                            EXPECT_EQ(ui_test::ScreenPixel(list, frame - 1, 30), highlight);
                            EXPECT_EQ(ui_test::ScreenPixel(list, frame, 30),
                                      ::GetSysColor(COLOR_WINDOW));
                        },
                        [](wyn_test::ScriptedDialog& d) { ::EndDialog(d.Hwnd(), IDCANCEL); }};
        dialog.DoModal(nullptr);
        ASSERT_TRUE(dialog.Shown());
        EXPECT_EQ(dialog.StepsRun(), dialog.steps.size());
    }
}

TEST(CustomListInDialogTest, EnterAndDeleteReachTheListNotTheDialog) {
    wyn_test::InitPlatform();
    CkvWynEngine engine(wyn_test::Module());
    wyn_test::DescriptionFile file(LR"(<dialog>
        <customlist id="list" width="100" height="60"/>
        <button id="ok" label="OK" dlgType="accept"/>
    </dialog>)");
    wyn_test::ScriptedDialog dialog(file.Path(), &engine);
    dialog.eventAnswer = [](CWynElement*, std::wstring_view name, WPARAM, LPARAM second) {
        if (name == L"customlst-getheight")
            reinterpret_cast<CWynCustomList::MeasureRecord*>(second)->height = 20;
        return std::int64_t{0};
    };
    const auto told = [&](const wchar_t* name) {
        return std::any_of(dialog.events.begin(), dialog.events.end(),
                           [&](const wyn_test::RecordedEvent& e) { return e.name == name; });
    };
    dialog.steps = {
        [](wyn_test::ScriptedDialog& d) {
            auto* list = dynamic_cast<CWynCustomList*>(d.FindById(L"list"));
            list->AddItem(7);
            list->RecalculateHeights();
            list->SelectItem(0);
            ::SetFocus(list->Hwnd());
            d.PressKey(VK_RETURN);
        },
        [](wyn_test::ScriptedDialog& d) { d.PressKey(VK_DELETE); },
        [&](wyn_test::ScriptedDialog& d) {
            EXPECT_TRUE(told(L"customlst-keyenter"));
            EXPECT_TRUE(told(L"customlst-keydel"));
            EXPECT_TRUE(dialog.reasons.empty()) << "the dialog did not take Enter";
            ::EndDialog(d.Hwnd(), 5);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), 5) << "the script ran to its end";
}

// Records the focus and selection events raised in this process.
struct WinEvents {
    static void CALLBACK Hook(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                              DWORD, DWORD) {
        if (object == OBJID_CLIENT)
            seen.push_back({event, window, child});
    }
    struct Seen {
        DWORD event;
        HWND window;
        LONG child;
        bool operator==(const Seen&) const = default;
    };
    static inline std::vector<Seen> seen;
};

TEST_F(CustomListTest, ScreenReadersSeeTheItemsAsTheyChange) {
    Fill({30, 30, 30});
    const kelvo::ComPtr<IAccessible> object = AccessibleOf(m_list->Hwnd());
    ASSERT_TRUE(object);
    LONG count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(AccNumber(*object.Get(), CHILDID_SELF, true), ROLE_SYSTEM_LIST);
    EXPECT_EQ(AccNumber(*object.Get(), 2, true), ROLE_SYSTEM_LISTITEM);
    EXPECT_EQ(AccName(*object.Get(), 2), L"Item 1");
    EXPECT_EQ(AccNumber(*object.Get(), 2, false) & STATE_SYSTEM_SELECTED, 0);

    WinEvents::seen.clear();
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION, ::GetModuleHandleW(nullptr),
                          &WinEvents::Hook, ::GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
    ASSERT_NE(hook, nullptr);
    ::SetFocus(m_list->Hwnd());
    Key(VK_DOWN);
    Key(VK_DOWN);
    ::UnhookWinEvent(hook);
    HWND window = m_list->Hwnd();
    const std::vector<WinEvents::Seen> items = {{EVENT_OBJECT_FOCUS, window, 1},
                                                {EVENT_OBJECT_SELECTION, window, 1},
                                                {EVENT_OBJECT_FOCUS, window, 2},
                                                {EVENT_OBJECT_SELECTION, window, 2}};
    EXPECT_TRUE(std::search(WinEvents::seen.begin(), WinEvents::seen.end(), items.begin(),
                            items.end()) != WinEvents::seen.end())
        << "focus and selection events for each item that became current";
    const long state = AccNumber(*object.Get(), 2, false);
    EXPECT_NE(state & STATE_SYSTEM_SELECTED, 0);
    EXPECT_NE(state & STATE_SYSTEM_FOCUSED, 0);
    EXPECT_EQ(AccNumber(*object.Get(), 1, false) & STATE_SYSTEM_SELECTED, 0);

    long left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(3)), S_OK);
    RECT r = m_list->ItemRect(2);
    ::MapWindowPoints(m_list->Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    const RECT located{left, top, left + width, top + height};
    EXPECT_TRUE(::EqualRect(&located, &r));
    VARIANT hit;
    ASSERT_EQ(object->accHitTest(r.left + 2, r.top + 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, 3);

    m_root.events.clear();
    EXPECT_EQ(object->accDoDefaultAction(Child(3)), S_OK);
    EXPECT_EQ(Told(), (Names{L"customlst-selchanged", L"customlst-dblclick"}));
    EXPECT_EQ(m_list->CurrentIndex(), 2);

    m_list->DeleteAllItems();
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    Fill({20, 20, 20, 20});
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(AccName(*object.Get(), 4), L"Item 3");
    EXPECT_EQ(AccNumber(*object.Get(), 3, false) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
              0)
        << "the refilled list has no current item";
}

TEST_F(CustomListTest, AccessibleObjectOutlivesItsWindowSafely) {
    Fill({30, 30});
    kelvo::ComPtr<IAccessible> object = AccessibleOf(m_list->Hwnd());
    ASSERT_TRUE(object);
    ::DestroyWindow(m_list->Hwnd());
    LONG count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    kelvo::UniqueBstr name;
    EXPECT_EQ(object->get_accName(Child(1), name.Put()), CO_E_OBJNOTCONNECTED);
}

} // namespace
