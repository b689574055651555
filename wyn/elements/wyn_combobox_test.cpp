#include "wyn/elements/wyn_combobox.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;

TEST(WynComboBox, ValuesTextsAndPlacement) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    RunDialog(
        engine, LR"(<dialog><hbox>
            <combobox id="c">
                <listitem value="0" label="Edit Chunk"/>
                <listitem value="1" label="Paste Chunk"/>
            </combobox>
            <textbox id="tall" multiline="true" textrows="4"/>
            <combobox id="typed" editable="true" autoComplete="true">
                <listitem value="5" label="Paste"/>
                <listitem value="6" label="Pause"/>
            </combobox>
        </hbox></dialog>)",
        {[](ScriptedDialog& d) {
            CWynElement* c = d.FindById(L"c");
            EXPECT_EQ(c->GetIntValue(), -1) << "nothing selected yet";
            EXPECT_EQ(c->GetTextValue(), nullptr);
            c->SetIntValue(1);
            EXPECT_EQ(c->GetIntValue(), 1);
            EXPECT_STREQ(c->GetTextValue(), L"Paste Chunk");
            c->SetIntValue(7);
            EXPECT_EQ(c->GetIntValue(), 1) << "no item has 7";
            c->SetTextValue(L"edit CHUNK");
            EXPECT_EQ(c->GetIntValue(), 0) << "texts match in any case";
            c->SetTextValue(L"nothing like it");
            EXPECT_EQ(c->GetIntValue(), 0);
            EXPECT_TRUE(d.events.empty()) << "set by the program";

            ::SendMessageW(c->Hwnd(), CB_SETCURSEL, 1, 0);
            ::SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(c->ControlId(), CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(c->Hwnd()));
            ASSERT_EQ(d.events.size(), 1u);
            EXPECT_EQ(d.events[0].name, L"changed");

            // The closed box is centred in a cell taller than itself.
            const CWynElement::Rect& cell = c->Bounds();
            const RECT closed = d.Placed(L"c");
            EXPECT_GT(cell.height, closed.bottom - closed.top);
            EXPECT_EQ(closed.top, cell.top + (cell.height - (closed.bottom - closed.top)) / 2);
            EXPECT_EQ(closed.right - closed.left, cell.width);

            // Typing completes from the first item that begins with the text.
            CWynElement* typed = d.FindById(L"typed");
            ::SetWindowTextW(typed->Hwnd(), L"pau");
            ::SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(typed->ControlId(), CBN_EDITCHANGE),
                           reinterpret_cast<LPARAM>(typed->Hwnd()));
            EXPECT_EQ(typed->GetIntValue(), 6);
            DWORD start = 0;
            DWORD end = 0;
            ::SendMessageW(typed->Hwnd(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                           reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 3u);
            EXPECT_EQ(end, 5u);
            typed->SetTextValue(L"free text");
            EXPECT_EQ(typed->GetIntValue(), -1);
            EXPECT_STREQ(typed->GetTextValue(), L"free text");
        }});
}

} // namespace
