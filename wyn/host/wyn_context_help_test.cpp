#include "wyn/host/wyn_context_help.h"

#include <gtest/gtest.h>

#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::ScriptedDialog;

class WynContextHelpTest : public ::testing::Test {
protected:
    void SetUp() override { wyn_test::InitPlatform(); }

    CWynEngine m_engine{wyn_test::Module()};
};

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT WorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST_F(WynContextHelpTest, ReadsTipsWithTheirAttributesAndLocalisedText) {
    m_engine.AddString(L"tip.second", L"CDATA", L"<h2>Translated</h2>");
    const auto node = wyn_test::ParseElement(LR"(<contexthelp>
        <tip control="a"><![CDATA[<h2>First</h2><br>text]]></tip>
        <!-- not a tip -->
        <note control="a">ignored</note>
        <TIP control="b" tag="error" img="error.png" imgWidth="48" imgHeight="40"
             locid="tip.second">untranslated</TIP>
        <tip control="c" locid="tip.unknown" imgWidth="x">plain</tip>
    </contexthelp>)");
    ASSERT_TRUE(node);
    CWynContextHelp help(&m_engine);
    help.Read(node.Get());
    const auto& tips = help.Tips();
    ASSERT_EQ(tips.size(), 3u);
    EXPECT_EQ(tips[0].control, L"a");
    EXPECT_EQ(tips[0].markup, L"<h2>First</h2><br>text");
    EXPECT_EQ(tips[0].tag, std::nullopt);
    EXPECT_EQ(tips[1].tag, L"error");
    EXPECT_EQ(tips[1].image, L"error.png");
    EXPECT_EQ(tips[1].imageWidth, 48);
    EXPECT_EQ(tips[1].imageHeight, 40);
    EXPECT_EQ(tips[1].markup, L"<h2>Translated</h2>");
    EXPECT_EQ(tips[2].markup, L"plain") << "no table entry: the tip's own text";
    EXPECT_EQ(tips[2].imageWidth, 0);
}

TEST_F(WynContextHelpTest, MasterPasswordTipsArePickedByControlAndTag) {
    ScriptedDialog dialog(L"res:master-password.xml", &m_engine);
    dialog.steps = {[](ScriptedDialog& d) {
        CWynContextHelp& help = d.ContextHelp();
        ASSERT_EQ(help.Tips().size(), 2u);
        d.ShowTip(L"old-password", L"error");
        EXPECT_EQ(help.CurrentTip(), 1);
        ASSERT_TRUE(help.TipWindow());
        EXPECT_TRUE(::IsWindowVisible(help.TipWindow()));
        const LONG ex = ::GetWindowLongW(help.TipWindow(), GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_TOPMOST);
        EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(ex & WS_EX_NOACTIVATE) << "the focus stays in the dialog";
        EXPECT_NE(::GetActiveWindow(), help.TipWindow());
        EXPECT_EQ(::GetWindow(help.TipWindow(), GW_OWNER), nullptr);

        HWND first = help.TipWindow();
        d.ShowTip(L"PASSWORD", L"Error");
        EXPECT_EQ(help.CurrentTip(), 0) << "ids and tags in any case";
        EXPECT_FALSE(::IsWindow(first)) << "one tip at a time";

        // The help request asks for an untagged tip, and these are all tagged.
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = d.Window(L"password");
        ::SendMessageW(d.Hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(help.CurrentTip(), -1);
        EXPECT_EQ(help.TipWindow(), nullptr);

        d.ShowTip(L"password2", L"error");
        EXPECT_EQ(help.TipWindow(), nullptr) << "no tip for that control";
        d.ShowTip(L"password", L"error");
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.ContextHelp().TipWindow(), nullptr) << "closed with its dialog";
}

TEST_F(WynContextHelpTest, TipPlacedBesideItsControlAndClosedByAClick) {
    wyn_test::DescriptionFile file(LR"(<dialog>
        <textbox id="t"/>
        <contexthelp>
            <tip control="t" tag="error">tagged</tip>
            <tip control="t"><![CDATA[<h2>Help</h2><br>untagged]]></tip>
        </contexthelp>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &m_engine);
    dialog.steps = {[](ScriptedDialog& d) {
        CWynContextHelp& help = d.ContextHelp();
        const RECT work = WorkArea(d.Hwnd());
        HWND control = d.Window(L"t");

        // A help request shows the untagged tip, here above the control.
        const RECT outer = WindowRect(d.Hwnd());
        ::SetWindowPos(d.Hwnd(), nullptr, work.left + 100, work.top + 300, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = control;
        ::SendMessageW(d.Hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_EQ(help.CurrentTip(), 1);
        RECT tip = WindowRect(help.TipWindow());
        RECT c = WindowRect(control);
        EXPECT_EQ(tip.bottom, c.top - 5);
        EXPECT_EQ(tip.left, c.left);
        EXPECT_EQ(tip.right - tip.left, 330) << "310 for the text and 10 each side";

        // Near the top of the work area it opens below the control.
        ::SetWindowPos(d.Hwnd(), nullptr, work.left + 100, work.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
        d.ShowTip(L"t", L"error");
        ASSERT_EQ(help.CurrentTip(), 0);
        tip = WindowRect(help.TipWindow());
        c = WindowRect(control);
        EXPECT_EQ(tip.top, c.bottom + 5);

        // Near the right edge it is shifted left to end 5 pixels inside.
        ::SetWindowPos(d.Hwnd(), nullptr, work.right - (outer.right - outer.left), work.top + 300,
                       0, 0, SWP_NOSIZE | SWP_NOZORDER);
        d.ShowTip(L"t", L"error");
        tip = WindowRect(help.TipWindow());
        EXPECT_EQ(tip.right, work.right - 5);

        // A click on it closes it.
        HWND window = help.TipWindow();
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(help.TipWindow(), nullptr);
        EXPECT_EQ(help.CurrentTip(), -1);
    }};
    dialog.steps.push_back([](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
