#include "wyn/elements/wyn_listbox.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

bool Raised(const ScriptedDialog& d, const wchar_t* name) {
    return std::any_of(d.events.begin(), d.events.end(),
                       [&](const auto& e) { return e.source == L"fruit" && e.name == name; });
}

TEST(WynListBoxTest, ValueIsTheSelectedItemsValue) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog>
        <listbox id="fruit" listRows="4">
            <listitem label="Apple" value="3"/>
            <listitem label="Pear" value="7"/>
        </listbox>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [](ScriptedDialog& d) {
            CWynElement* fruit = d.FindById(L"fruit");
            EXPECT_EQ(fruit->GetIntValue(), -1) << "nothing selected";
            fruit->SetIntValue(7);
            EXPECT_EQ(fruit->GetIntValue(), 7);
            fruit->SetIntValue(99);
            EXPECT_EQ(fruit->GetIntValue(), 7) << "no such item: no change";
            EXPECT_FALSE(Raised(d, L"changed"));
            const int rows = ::SendMessageW(d.Window(L"fruit"), LB_GETITEMHEIGHT, 0, 0);
            RECT client{};
            ::GetClientRect(d.Window(L"fruit"), &client);
            EXPECT_GE(client.bottom, 4 * rows) << "room for `listRows` rows";
            ::SetFocus(d.Window(L"fruit"));
            ::SendMessageW(d.Window(L"fruit"), WM_KEYDOWN, VK_UP, 1);
            ::SendMessageW(d.Window(L"fruit"), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 3));
        },
        [](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"fruit")->GetIntValue(), 3);
            EXPECT_TRUE(Raised(d, L"changed"));
            EXPECT_TRUE(Raised(d, L"dbl-click"));
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
