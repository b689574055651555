#include "wyn/elements/wyn_url.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;

TEST(WynUrl, AClickOnTheTextNotifiesAndElsewhereDoesNothing) {
    wyn_test::InitPlatform();
    CWynEngine engine{wyn_test::Module()};
    RunDialog(engine, LR"(<dialog orient="vertical">
            <url id="link" text="Tell me" url=":notify:" hFlex="1"/>
            <label value="A label much wider than the link above it"/>
        </dialog>)",
              {[](ScriptedDialog& d) {
                  HWND link = d.Window(L"link");
                  EXPECT_EQ(::SendMessageW(link, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
                  RECT client{};
                  ::GetClientRect(link, &client);
                  const int text_width = d.FindById(L"link")->Measure().cx;
                  ASSERT_LT(text_width + 10, client.right) << "the cell is wider than the text";

                  ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(text_width + 5, 2));
                  EXPECT_TRUE(d.events.empty()) << "right of the text";
                  ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
                  ASSERT_EQ(d.events.size(), 1u);
                  EXPECT_EQ(d.events[0].source, L"link");
                  EXPECT_EQ(d.events[0].name, L"clicked");
              }});
}

} // namespace
