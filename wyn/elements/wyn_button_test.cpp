#include "wyn/elements/wyn_button.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::HorizontalUnits;
using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;
using wyn_test::VerticalUnits;

TEST(WynButton, AcceptAndCancelTakeTheDialogIdsWhereverTheyStand) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    RunDialog(engine, LR"(<dialog>
            <button id="cancel" label="Cancel" dlgType="cancel"/>
            <button id="plain" label="A rather long button label"/>
            <button id="fixed" label="A rather long button label" width="30" height="20" default="true"/>
            <button id="ok" label="OK" dlgType="accept"/>
        </dialog>)",
              {[](ScriptedDialog& d) {
                  EXPECT_EQ(::GetDlgCtrlID(d.Window(L"cancel")), IDCANCEL);
                  EXPECT_EQ(d.FindById(L"cancel")->ControlId(), IDCANCEL);
                  EXPECT_EQ(::GetDlgCtrlID(d.Window(L"ok")), IDOK);
                  EXPECT_GE(::GetDlgCtrlID(d.Window(L"plain")), 100);
                  const auto kind = [&](const wchar_t* id) {
                      return ::GetWindowLongW(d.Window(id), GWL_STYLE) & BS_TYPEMASK;
                  };
                  EXPECT_EQ(kind(L"ok"), BS_DEFPUSHBUTTON);
                  EXPECT_EQ(kind(L"fixed"), BS_DEFPUSHBUTTON);
                  EXPECT_EQ(kind(L"cancel"), BS_PUSHBUTTON);

                  // At least 50 units wide, wider for a long text; `width` wins.
                  EXPECT_EQ(d.FindById(L"ok")->Measure().cx, HorizontalUnits(d.Hwnd(), 50));
                  EXPECT_EQ(d.FindById(L"ok")->Measure().cy, VerticalUnits(d.Hwnd(), 14));
                  EXPECT_GT(d.FindById(L"plain")->Measure().cx, HorizontalUnits(d.Hwnd(), 50));
                  EXPECT_EQ(d.FindById(L"fixed")->Measure().cx, HorizontalUnits(d.Hwnd(), 30));
                  EXPECT_EQ(d.FindById(L"fixed")->Measure().cy, VerticalUnits(d.Hwnd(), 20));

                  d.FindById(L"plain")->SetTextValue(L"Renamed");
                  wchar_t text[16] = {};
                  ::GetWindowTextW(d.Window(L"plain"), text, 16);
                  EXPECT_STREQ(text, L"Renamed");

                  // Escape reaches the Cancel button, which is the first element.
                  d.PressKey(VK_ESCAPE);
              }},
              false);
}

} // namespace
