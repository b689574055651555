#include "wyn/elements/wyn_tabbox.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "wyn/engine/wyn_engine.h"
#include "wyn/host/data_exchange.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

bool Shown(ScriptedDialog& d, const wchar_t* id) {
    return ::IsWindowVisible(d.Window(id)) != FALSE;
}

TEST(WynTabBoxTest, PagesShowOneAtATimeAndCountAsLiveOnceShown) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <tabbox id="tabs">
            <tabpanel id="general" label="General"><textbox id="name"/></tabpanel>
            <tabpanel id="advanced" label="Advanced"><checkbox id="more" label="More"/></tabpanel>
        </tabbox>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            HWND tabs = d.Window(L"tabs");
            EXPECT_EQ(TabCtrl_GetItemCount(tabs), 2);
            wchar_t label[32] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = label;
            item.cchTextMax = 32;
            TabCtrl_GetItem(tabs, 1, &item);
            EXPECT_STREQ(label, L"Advanced");
            EXPECT_EQ(d.FindById(L"tabs")->GetIntValue(), 0);
            EXPECT_TRUE(Shown(d, L"name"));
            EXPECT_FALSE(Shown(d, L"more"));
            EXPECT_TRUE(::IsChild(tabs, d.Window(L"more"))) << "pages live in the tab control";

            // The page sits in the display area, below the tabs.
            RECT display{};
            ::GetClientRect(tabs, &display);
            TabCtrl_AdjustRect(tabs, FALSE, &display);
            RECT page{};
            ::GetWindowRect(d.Window(L"general"), &page);
            ::MapWindowPoints(HWND_DESKTOP, tabs, reinterpret_cast<POINT*>(&page), 2);
            EXPECT_TRUE(::EqualRect(&page, &display));

            EXPECT_FALSE(d.FindById(L"advanced")->IsLive());
            int more = 7;
            d.Exchange(true, CWynExchange::Int(L"more", more));
            EXPECT_EQ(more, 7) << "a page never shown leaves the variable alone";

            // The user moves to the next tab with the keyboard.
            ::SetFocus(tabs);
            d.PressKey(VK_RIGHT);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"tabs")->GetIntValue(), 1);
            EXPECT_FALSE(Shown(d, L"name"));
            EXPECT_TRUE(Shown(d, L"more"));
            EXPECT_TRUE(d.FindById(L"advanced")->IsLive());
            int more = 7;
            d.Exchange(true, CWynExchange::Int(L"more", more));
            EXPECT_EQ(more, 0);

            d.FindById(L"tabs")->SetIntValue(0);
            EXPECT_TRUE(Shown(d, L"name"));
            EXPECT_FALSE(Shown(d, L"more"));
            EXPECT_TRUE(d.FindById(L"advanced")->IsLive()) << "shown once is enough";
            d.FindById(L"tabs")->SetIntValue(5);
            EXPECT_EQ(d.FindById(L"tabs")->GetIntValue(), 0);
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
