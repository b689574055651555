#include "wyn/elements/wyn_textbox.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <climits>

#include "base/win_handles.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;

class WynTextBoxTest : public ::testing::Test {
protected:
    void SetUp() override { wyn_test::InitPlatform(); }

    CWynEngine m_engine{wyn_test::Module()};
};

RECT LaidOut(ScriptedDialog& d, const wchar_t* id) {
    const CWynElement::Rect& r = d.FindById(id)->Bounds();
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

TEST_F(WynTextBoxTest, NumberBoxWithASpinKeepsTheArrowsInsideItsCell) {
    RunDialog(m_engine, LR"(<dialog><hbox>
            <textbox id="delay" numberonly="true" size="5" textalign="right">
                <spin id="arrows" buddyalign="right" lower="20"/>
            </textbox>
            <label value="msec"/>
            <textbox id="left"><spin id="left-arrows" buddyalign="left"/></textbox>
        </hbox></dialog>)",
              {[](ScriptedDialog& d) {
                  HWND box = d.Window(L"delay");
                  HWND arrows = d.Window(L"arrows");
                  const LONG style = ::GetWindowLongW(box, GWL_STYLE);
                  EXPECT_TRUE(style & ES_NUMBER);
                  EXPECT_TRUE(style & ES_RIGHT);
                  EXPECT_TRUE(::GetWindowLongW(arrows, GWL_STYLE) & UDS_ALIGNRIGHT);
                  int lower = 0;
                  int upper = 0;
                  ::SendMessageW(arrows, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                                 reinterpret_cast<LPARAM>(&upper));
                  EXPECT_EQ(lower, 20);
                  EXPECT_EQ(upper, INT_MAX);
                  EXPECT_EQ(::SendMessageW(arrows, UDM_GETPOS32, 0, 0), 20) << "starts at lower";
                  EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageW(arrows, UDM_GETBUDDY, 0, 0)),
                            box);

                  // The box gives room to the arrows at its right edge; together
                  // they stay in the box's cell (the arrows overlap the box's
                  // border by a little).
                  const RECT cell = LaidOut(d, L"delay");
                  const RECT a = d.Placed(L"arrows");
                  const RECT b = d.Placed(L"delay");
                  EXPECT_GE(a.left, cell.left);
                  EXPECT_LE(a.right, cell.right);
                  EXPECT_GE(a.right, cell.right - 3);
                  EXPECT_LE(b.right, a.right);
                  EXPECT_LT(b.right - b.left, cell.right - cell.left) << "the box made room";

                  const RECT left_cell = LaidOut(d, L"left");
                  const RECT la = d.Placed(L"left-arrows");
                  EXPECT_LE(la.left, left_cell.left + 3);
                  EXPECT_GE(la.left, left_cell.left);

                  // The arrows step the number within their range.
                  d.FindById(L"delay")->SetIntValue(20);
                  ::SendMessageW(box, WM_KEYDOWN, VK_DOWN, 1);
                  EXPECT_EQ(d.FindById(L"delay")->GetIntValue(), 20) << "not below lower";
                  ::SendMessageW(box, WM_KEYDOWN, VK_UP, 1);
                  EXPECT_EQ(d.FindById(L"delay")->GetIntValue(), 21);

                  // A second layout does not shrink the box again.
                  d.Arrange(0, 0, d.Bounds().width, d.Bounds().height);
                  const RECT again = d.Placed(L"delay");
                  EXPECT_EQ(again.right - again.left, b.right - b.left);
              }});
}

TEST_F(WynTextBoxTest, ValuesAndChangeEvents) {
    RunDialog(m_engine, LR"(<dialog><textbox id="t" value="start" maxlength="12"/>
                          <textbox id="secret" password="true"/></dialog>)",
              {[](ScriptedDialog& d) {
                  CWynElement* t = d.FindById(L"t");
                  EXPECT_STREQ(t->GetTextValue(), L"start");
                  EXPECT_EQ(::SendMessageW(t->Hwnd(), EM_GETLIMITTEXT, 0, 0), 12);
                  EXPECT_TRUE(::GetWindowLongW(d.Window(L"secret"), GWL_STYLE) & ES_PASSWORD);
                  EXPECT_EQ(d.FindById(L"secret")->GetTextValue(), nullptr) << "empty is none";

                  // Set by the program: no event.
                  t->SetIntValue(25);
                  EXPECT_STREQ(t->GetTextValue(), L"25");
                  EXPECT_TRUE(d.events.empty());

                  const struct {
                      const wchar_t* text;
                      int value;
                  } numbers[] = {{L"  -12abc", -12},
                                 {L"+7", 7},
                                 {L"", 0},
                                 {L"abc", 0},
                                 {L"99999999999", INT_MAX},
                                 {L"-99999999999", INT_MIN}};
                  for (const auto& n : numbers) {
                      t->SetTextValue(n.text);
                      EXPECT_EQ(t->GetIntValue(), n.value)
                          << testing::PrintToString(std::wstring(n.text));
                  }

                  // Typed by the user: "changed".
                  ::SendMessageW(t->Hwnd(), WM_CHAR, L'x', 1);
                  ASSERT_EQ(d.events.size(), 1u);
                  EXPECT_EQ(d.events[0].source, L"t");
                  EXPECT_EQ(d.events[0].name, L"changed");
              }});
}

TEST_F(WynTextBoxTest, NaturalSizeIsRowsAndColumnsOfTheWidestLetter) {
    RunDialog(m_engine, LR"(<dialog orient="vertical">
            <textbox id="single"/>
            <textbox id="wide" minwidth="100"/>
            <textbox id="multi" multiline="true" textrows="3" textcols="4"/>
        </dialog>)",
              {[](ScriptedDialog& d) {
                  const int line = wyn_test::VerticalUnits(d.Hwnd(), 14);
                  EXPECT_EQ(d.FindById(L"single")->Measure().cy, line);
                  EXPECT_EQ(d.FindById(L"wide")->Measure().cx,
                            wyn_test::HorizontalUnits(d.Hwnd(), 100));
                  const SIZE multi = d.FindById(L"multi")->Measure();
                  const SIZE single = d.FindById(L"single")->Measure();
                  EXPECT_LT(multi.cx, single.cx) << "4 columns against 10";
                  TEXTMETRICW metrics{};
                  {
                      kelvo::WindowDc dc(d.Hwnd());
                      kelvo::SelectedObject font(dc.Get(), d.GetFont());
                      ::GetTextMetricsW(dc.Get(), &metrics);
                  }
                  EXPECT_EQ(multi.cy, 3 * metrics.tmHeight + 6) << "3 rows and the frame";
                  EXPECT_TRUE(::GetWindowLongW(d.Window(L"multi"), GWL_STYLE) & ES_MULTILINE);
                  EXPECT_FALSE(::GetWindowLongW(d.Window(L"multi"), GWL_STYLE) & ES_AUTOHSCROLL);
                  EXPECT_TRUE(::GetWindowLongW(d.Window(L"single"), GWL_STYLE) & ES_AUTOHSCROLL);
              }});
}

} // namespace
