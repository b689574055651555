#include "wyn/elements/wyn_slider.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

TEST(WynSliderTest, RangeFromTheDescriptionAndMovesReachTheDialog) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <slider id="volume" minValue="10" maxValue="20"/>
        <slider id="height" type="vertical" minValue="0" maxValue="5"/>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            CWynElement* volume = d.FindById(L"volume");
            volume->SetIntValue(15);
            EXPECT_EQ(volume->GetIntValue(), 15);
            volume->SetIntValue(99);
            EXPECT_EQ(volume->GetIntValue(), 20) << "kept in range";
            const RECT vertical = d.Placed(L"height");
            EXPECT_GT(vertical.bottom - vertical.top, vertical.right - vertical.left);
            ::SetFocus(d.Window(L"volume"));
            ::SendMessageW(d.Window(L"volume"), WM_KEYDOWN, VK_LEFT, 1);
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"volume")->GetIntValue(), 19);
            EXPECT_TRUE(std::any_of(d.events.begin(), d.events.end(), [](const auto& e) {
                return e.source == L"volume" && e.name == L"hscroll";
            }));
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
