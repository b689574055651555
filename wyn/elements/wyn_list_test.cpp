#include "wyn/elements/wyn_list.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

int Count(const ScriptedDialog& d, const wchar_t* name) {
    return static_cast<int>(std::count_if(d.events.begin(), d.events.end(),
                                          [&](const auto& e) { return e.name == name; }));
}

TEST(WynListTest, ColumnsFromTheDescriptionAndEventsWithTheirAnswers) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <list id="lst" FullRowSelect="true" width="200" height="80">
            <listcol caption="Name" size="60"/>
            <listcol caption="Hidden" size="40" visible="false"/>
            <listcol caption="Rest" flex="1"/>
        </list>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    // Asks for a notification per item, which the list sends only if the
    // answer to the first one reaches it.
    dialog.eventAnswer = [](CWynElement*, std::wstring_view name, WPARAM, LPARAM record) {
        if (name != L"lst-customdraw")
            return std::int64_t{0};
        const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(record);
        return std::int64_t{draw->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW
                                                                    : CDRF_DODEFAULT};
    };
    dialog.steps = {
        [](ScriptedDialog& d) {
            HWND list = d.Window(L"lst");
            EXPECT_EQ(Count(d, L"lst-requestcols"), 1);
            EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 3);
            wchar_t caption[16] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = caption;
            column.cchTextMax = 16;
            ListView_GetColumn(list, 2, &column);
            EXPECT_STREQ(caption, L"Rest");
            const int name = ListView_GetColumnWidth(list, 0);
            EXPECT_EQ(name, wyn_test::HorizontalUnits(d.Hwnd(), 60));
            EXPECT_EQ(ListView_GetColumnWidth(list, 1), 0) << "invisible";
            RECT client{};
            ::GetClientRect(list, &client);
            EXPECT_EQ(ListView_GetColumnWidth(list, 2), client.right - name)
                << "the flexible column takes the rest";

            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.pszText = const_cast<wchar_t*>(L"Row");
            ListView_InsertItem(list, &item);
            d.events.clear();
            ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            EXPECT_GE(Count(d, L"lst-customdraw"), 2) << "item stage reached";

            RECT row{};
            ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
            ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 5, row.top + 3));
            ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 5, row.top + 3));
        },
        [](ScriptedDialog& d) {
            EXPECT_GE(Count(d, L"lst-click"), 1);
            EXPECT_GE(Count(d, L"lst-itemchanged"), 1);
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
