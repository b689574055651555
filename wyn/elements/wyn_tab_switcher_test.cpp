#include "wyn/elements/wyn_tab_switcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::RecordedEvent;
using wyn_test::ScriptedDialog;

class HelpEngine : public CWynEngine {
public:
    HelpEngine() : CWynEngine(wyn_test::Module()) {}
    void OpenHelp(HWND, const wchar_t* topic, LPARAM) override {
        topics.push_back(topic ? topic : L"-");
    }
    std::vector<std::wstring> topics;
};

// The tab events since the last call, as "source name".
std::vector<std::wstring> TabEvents(ScriptedDialog& d, std::size_t& seen) {
    std::vector<std::wstring> result;
    for (; seen < d.events.size(); ++seen) {
        const RecordedEvent& e = d.events[seen];
        if (e.name.rfind(L"tab-", 0) == 0)
            result.push_back(e.source + L" " + e.name);
    }
    return result;
}

TEST(WynTabSwitcherTest, PagesSwitchByCommandClickAndValue) {
    wyn_test::InitPlatform();
    HelpEngine engine;
    DescriptionFile file(LR"(<dialog orient="vertical">
        <tabswitcher id="sw">
            <tab id="one" label="One" caption="The first page" value="11"><textbox id="a"/></tab>
            <tab id="two" label="Two" value="22" selected="true"><textbox id="b"/></tab>
            <tab id="three" label="Three" helpTopic="three-help"><textbox id="c"/></tab>
        </tabswitcher>
        <hbox>
            <button id="back" label="Back"><sendcmd sendto="sw" cmd="back"/></button>
            <button id="next" label="Next"><sendcmd sendto="sw" cmd="next"/></button>
        </hbox>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    std::size_t seen = 0;
    dialog.steps = {
        [&](ScriptedDialog& d) {
            CWynElement* sw = d.FindById(L"sw");
            EXPECT_EQ(sw->GetIntValue(), 1) << "the selected page";
            EXPECT_STREQ(sw->GetTextValue(), L"two");
            EXPECT_EQ(TabEvents(d, seen),
                      (std::vector<std::wstring>{L"two tab-init", L"two tab-activate"}));
            EXPECT_FALSE(::IsWindowVisible(d.Window(L"a")));
            EXPECT_TRUE(::IsWindowVisible(d.Window(L"b")));
            EXPECT_FALSE(d.FindById(L"one")->IsLive());
            EXPECT_EQ(d.FindById(L"one")->GetIntValue(), 11);
            ::PostMessageW(d.Window(L"next"), BM_CLICK, 0, 0);
        },
        [&](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"sw")->GetIntValue(), 2);
            EXPECT_EQ(TabEvents(d, seen),
                      (std::vector<std::wstring>{L"two tab-deactivate", L"three tab-init",
                                                 L"three tab-activate"}));
            EXPECT_TRUE(::IsWindowVisible(d.Window(L"c")));
            EXPECT_FALSE(::IsWindowVisible(d.Window(L"b")));
            d.FindById(L"sw")->DoCommand(L"help");
            d.FindById(L"sw")->DoCommand(L"next"); // past the last page: nothing
            ::PostMessageW(d.Window(L"back"), BM_CLICK, 0, 0);
        },
        [&](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"sw")->GetIntValue(), 1);
            EXPECT_EQ(TabEvents(d, seen),
                      (std::vector<std::wstring>{L"three tab-deactivate", L"two tab-activate"}))
                << "tab-init only the first time";
            // A click on the first title in the column.
            ::SendMessageW(d.Window(L"sw"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3));
            EXPECT_EQ(d.FindById(L"sw")->GetIntValue(), 0);
            EXPECT_TRUE(d.FindById(L"one")->IsLive());
            d.FindById(L"sw")->SetTextValue(L"THREE");
            EXPECT_EQ(d.FindById(L"sw")->GetIntValue(), 2) << "ids in any case";
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(engine.topics, (std::vector<std::wstring>{L"three-help"}));
}

} // namespace
