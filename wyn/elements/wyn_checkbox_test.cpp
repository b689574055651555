#include "wyn/elements/wyn_checkbox.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;

TEST(WynCheckbox, StylesValuesAndChanges) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    RunDialog(engine, LR"(<dialog>
            <checkbox id="on" label="&amp;Show window on start" checked="true"/>
            <checkbox id="three" label="Three" triState="true"/>
            <checkbox id="manual" label="Manual" auto="false"/>
        </dialog>)",
              {[](ScriptedDialog& d) {
                  const auto kind = [&](const wchar_t* id) {
                      return ::GetWindowLongW(d.Window(id), GWL_STYLE) & BS_TYPEMASK;
                  };
                  EXPECT_EQ(kind(L"on"), BS_AUTOCHECKBOX);
                  EXPECT_EQ(kind(L"three"), BS_AUTO3STATE);
                  EXPECT_EQ(kind(L"manual"), BS_CHECKBOX);

                  CWynElement* on = d.FindById(L"on");
                  EXPECT_EQ(on->GetIntValue(), 1) << "checked as described";
                  on->SetIntValue(0);
                  EXPECT_EQ(on->GetIntValue(), 0);
                  d.FindById(L"three")->SetIntValue(2);
                  EXPECT_EQ(d.FindById(L"three")->GetIntValue(), 2);
                  EXPECT_TRUE(d.events.empty()) << "set by the program";

                  ::SendMessageW(on->Hwnd(), BM_CLICK, 0, 0);
                  EXPECT_EQ(on->GetIntValue(), 1);
                  ASSERT_EQ(d.events.size(), 1u);
                  EXPECT_EQ(d.events[0].source, L"on");
                  EXPECT_EQ(d.events[0].name, L"changed");

                  // The square is as wide as the line is high, then a gap, then the text.
                  RECT units{0, 0, 7, 10};
                  ::MapDialogRect(d.Hwnd(), &units);
                  const SIZE size = on->Measure();
                  EXPECT_EQ(size.cy, units.bottom);
                  EXPECT_GT(size.cx, units.right + units.bottom);
              }});
}

} // namespace
