#include "wyn/elements/wyn_line.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;

TEST(WynLine, SpansItsCellAlongAndIsCentredAcross) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    RunDialog(
        engine, LR"(<dialog><hbox>
            <line id="h" hFlex="1"/>
            <textbox id="tall" multiline="true" textrows="3"/>
            <line id="v" type="EtchedVert"/>
        </hbox></dialog>)",
        {[](ScriptedDialog& d) {
            const CWynElement::Rect& cell = d.FindById(L"h")->Bounds();
            const RECT h = d.Placed(L"h");
            const int thickness = wyn_test::VerticalUnits(d.Hwnd(), 1);
            EXPECT_EQ(h.left, cell.left);
            EXPECT_EQ(h.right - h.left, cell.width);
            EXPECT_EQ(h.bottom - h.top, thickness);
            EXPECT_EQ(h.top, cell.top + (cell.height - thickness) / 2);
            EXPECT_EQ(::GetWindowLongW(d.Window(L"h"), GWL_STYLE) & SS_TYPEMASK, SS_ETCHEDHORZ);

            const CWynElement::Rect& vcell = d.FindById(L"v")->Bounds();
            const RECT v = d.Placed(L"v");
            EXPECT_EQ(v.bottom - v.top, vcell.height);
            EXPECT_EQ(v.right - v.left, wyn_test::HorizontalUnits(d.Hwnd(), 1));
            EXPECT_EQ(::GetWindowLongW(d.Window(L"v"), GWL_STYLE) & SS_TYPEMASK, SS_ETCHEDVERT);
        }});
}

} // namespace
