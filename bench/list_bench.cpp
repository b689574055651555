// The drawn list's cost against its number of items: a repaint of a
// screenful and a scroll step in a list of 100,000 items, each against the
// same in a list of 100 (the floor), and how many rows the owner is asked to
// measure or draw for a scroll step in each. Rows of mixed heights, painted
// as the main window paints chunk rows (a fill and a line of text).

#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "draw/paint_buffer.h"
#include "ui/custom_list.h"
#include "ui/kv_wyn_engine.h"
#include "wyn/testing/test_tree.h"

namespace {

constexpr int kFloorItems = 100;

class CBenchRoot : public wyn_test::TestRoot {
public:
    using TestRoot::TestRoot;

    std::int64_t OnEvent(CWynElement*, std::wstring_view name, WPARAM first,
                         LPARAM second) override {
        ++asked;
        if (name == L"customlst-getheight") {
            auto* record = reinterpret_cast<CWynCustomList::MeasureRecord*>(second);
            record->height = 20 + static_cast<std::uint32_t>(record->data % 3) * 12;
        } else if (name == L"customlst-drawitem") {
            const auto* record = reinterpret_cast<CWynCustomList::DrawRecord*>(second);
            HDC dc = reinterpret_cast<kelvo::CPaintContext*>(first)->Dc();
            if (record->index % 2)
                ::FillRect(dc, &record->rect, ::GetSysColorBrush(COLOR_BTNFACE));
            const std::wstring title = L"Chunk " + std::to_wstring(record->data);
            RECT text = record->rect;
            ::SetBkMode(dc, TRANSPARENT);
            ::DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &text,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
        return 1;
    }

    // Questions to the owner: heights to measure, rows to draw.
    std::size_t asked = 0;
};

CWynCustomList* Filled(CWynElement& root, const wchar_t* id, int count) {
    auto* list = dynamic_cast<CWynCustomList*>(root.FindById(id));
    for (int i = 0; i < count; ++i)
        list->AddItem(static_cast<std::uintptr_t>(i));
    list->RecalculateHeights();
    list->SelectItem(count / 2); // scrolled to the middle
    ::UpdateWindow(list->Hwnd());
    return list;
}

void Repaint(const CWynCustomList& list) {
    ::InvalidateRect(list.Hwnd(), nullptr, FALSE);
    ::UpdateWindow(list.Hwnd());
}

// One line down and back up, each shown.
void ScrollStep(const CWynCustomList& list) {
    for (const WPARAM code : {SB_LINEDOWN, SB_LINEUP}) {
        ::SendMessageW(list.Hwnd(), WM_VSCROLL, code, 0);
        ::UpdateWindow(list.Hwnd());
    }
}

void RunList() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CkvWynEngine engine(::GetModuleHandleW(nullptr));
    CBenchRoot root(&engine);
    root.Parse(wyn_test::ParseElement(LR"(<dialog>
        <customlist id="big" width="160" height="200"/>
        <customlist id="small" width="160" height="200"/>
    </dialog>)")
                   .Get());
    root.Create();
    const SIZE natural = root.Measure();
    root.Arrange(0, 0, natural.cx, natural.cy);
    ::SetWindowPos(root.Dialog(), nullptr, 0, 0, natural.cx + 20, natural.cy + 40,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const int items = kelvo::bench::Sized(100000, 1000);
    const int turns = kelvo::bench::Sized(15, 1);
    const int reps = kelvo::bench::Sized(20, 1);
    const CWynCustomList* big = Filled(root, L"big", items);
    const CWynCustomList* small = Filled(root, L"small", kFloorItems);
    if (!big || !small || big->ItemCount() != items) {
        kelvo::bench::Fail("the lists were not made");
        return;
    }

    const kelvo::bench::Timing repaint = kelvo::bench::MeasureAgainstFloor(
        turns, reps, [&] { Repaint(*big); }, [&] { Repaint(*small); });
    kelvo::bench::Report("list", "repaint-screenful", items, repaint.figure_us, repaint.floor_us,
                         1.5);
    const kelvo::bench::Timing scroll = kelvo::bench::MeasureAgainstFloor(
        turns, reps, [&] { ScrollStep(*big); }, [&] { ScrollStep(*small); });
    kelvo::bench::Report("list", "scroll-step", items, scroll.figure_us, scroll.floor_us, 1.5);
    const auto rows_asked = [&](const CWynCustomList& list) {
        root.asked = 0;
        ScrollStep(list);
        return static_cast<double>(root.asked);
    };
    const double big_rows = rows_asked(*big);
    kelvo::bench::ReportValue("list", "rows-asked-per-scroll-step", items, big_rows,
                              rows_asked(*small), "rows", 1.5);
}

} // namespace

KELVO_BENCH_AREA("list", RunList);
