#include "wyn/elements/wyn_label.h"

#include <gtest/gtest.h>

#include "base/win_handles.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::HorizontalUnits;
using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;
using wyn_test::VerticalUnits;

constexpr wchar_t kText[] = L"Default delay before paste is 20 msec. Default delay after switch "
                            L"window is 50 msec. Increase these delays if you can't paste text "
                            L"into some applications";

SIZE Extent(HWND window, HFONT font, const wchar_t* text, int wrap) {
    kelvo::WindowDc dc(window);
    kelvo::SelectedObject selected(dc.Get(), font);
    RECT r{0, 0, wrap > 0 ? wrap : 3, 3};
    ::DrawTextW(dc.Get(), text, -1, &r,
                DT_CALCRECT | DT_EDITCONTROL | (wrap > 0 ? DT_WORDBREAK : 0));
    return {r.right, r.bottom};
}

TEST(WynLabel, SizesAndStyles) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    const std::wstring xml = std::wstring(LR"(<dialog width="300" orient="vertical">
            <label id="wrap" multiline="true" hFlex="1" value=")") +
                             kText + LR"("/>
            <label id="plain" value="&amp;Find:"/>
            <label id="fixed" width="120" value="Delay" textalign="right"/>
            <label id="top" vcenter="false" textalign="center" value="x"/>
        </dialog>)";
    RunDialog(engine, xml, {[](ScriptedDialog& d) {
                  // The multiline label wraps to the width layout gives it.
                  const RECT wrap = d.Placed(L"wrap");
                  RECT client{};
                  ::GetClientRect(d.Hwnd(), &client);
                  const int margin = HorizontalUnits(d.Hwnd(), 7);
                  EXPECT_EQ(wrap.right - wrap.left, client.right - 2 * margin);
                  const SIZE wrapped = Extent(d.Hwnd(), d.GetFont(), kText, wrap.right - wrap.left);
                  EXPECT_EQ(wrap.bottom - wrap.top, wrapped.cy);
                  EXPECT_GE(wrapped.cy, 2 * Extent(d.Hwnd(), d.GetFont(), L"W", 0).cy) << "wrapped";
                  EXPECT_FALSE(::GetWindowLongW(d.Window(L"wrap"), GWL_STYLE) & SS_CENTERIMAGE)
                      << "a multiline label never centres vertically";

                  // Single-line labels measure their text; "&" marks a mnemonic.
                  const SIZE plain = d.FindById(L"plain")->Measure();
                  EXPECT_EQ(plain.cx, Extent(d.Hwnd(), d.GetFont(), L"&Find:", 0).cx);
                  EXPECT_EQ(plain.cy, std::max<int>(Extent(d.Hwnd(), d.GetFont(), L"F", 0).cy,
                                                    VerticalUnits(d.Hwnd(), 8)));
                  EXPECT_TRUE(::GetWindowLongW(d.Window(L"plain"), GWL_STYLE) & SS_CENTERIMAGE);
                  EXPECT_EQ(d.FindById(L"fixed")->Measure().cx, HorizontalUnits(d.Hwnd(), 120));
                  EXPECT_EQ(::GetWindowLongW(d.Window(L"fixed"), GWL_STYLE) & SS_TYPEMASK,
                            SS_RIGHT);
                  const LONG top = ::GetWindowLongW(d.Window(L"top"), GWL_STYLE);
                  EXPECT_EQ(top & SS_TYPEMASK, SS_CENTER);
                  EXPECT_FALSE(top & SS_CENTERIMAGE);

                  CWynElement* label = d.FindById(L"plain");
                  label->SetTextValue(L"Changed");
                  EXPECT_STREQ(label->GetTextValue(), L"Changed");
                  wchar_t shown[32] = {};
                  ::GetWindowTextW(label->Hwnd(), shown, 32);
                  EXPECT_STREQ(shown, L"Changed");
              }});
}

// A resizable dialog widened and narrowed again: the label takes fewer lines
// while wide, wraps again at the narrow width, and the dialog's natural size
// is what it was.
TEST(WynLabel, WrapsAgainWhenTheDialogNarrows) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    const std::wstring xml = std::wstring(LR"(<dialog border="resizing" orient="vertical">
            <label id="wrap" multiline="true" hFlex="1" width="120" value=")") +
                             kText + LR"("/></dialog>)";
    int ran = 0;
    RunDialog(engine, xml, {[&](ScriptedDialog& d) {
                  ++ran;
                  const RECT first = d.Placed(L"wrap");
                  const SIZE natural = d.Measure();
                  RECT outer{};
                  ::GetWindowRect(d.Hwnd(), &outer);
                  const auto resize = [&](int extra) {
                      ::SetWindowPos(d.Hwnd(), nullptr, 0, 0, outer.right - outer.left + extra,
                                     outer.bottom - outer.top,
                                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                      return d.Placed(L"wrap");
                  };
                  const RECT wide = resize(300);
                  EXPECT_EQ(wide.right - wide.left, first.right - first.left + 300);
                  EXPECT_LT(wide.bottom - wide.top, first.bottom - first.top) << "fewer lines";

                  const RECT again = resize(0);
                  EXPECT_EQ(again.right - again.left, first.right - first.left);
                  EXPECT_EQ(again.bottom - again.top, first.bottom - first.top)
                      << "wrapped again at the narrow width";
                  EXPECT_EQ(d.Measure().cx, natural.cx) << "the natural size shrinks back";
                  EXPECT_EQ(d.Measure().cy, natural.cy);
              }});
    EXPECT_EQ(ran, 1);
}

} // namespace
