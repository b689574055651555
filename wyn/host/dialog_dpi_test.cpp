// The dialog at other DPIs: a fresh layout at each, and a change of DPI
// while it is open, which must come out as a fresh layout at the new one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "wyn/host/wyn_dialog.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

// Texts of every kind the engine measures, a group, spacing, and a dialog
// nested in the dialog.
constexpr wchar_t kForm[] = LR"(<dialog id="d" caption="Scaling" orient="vertical">
    <label id="intro" value="Every size follows the monitor's scaling."/>
    <label id="wrapped" multiline="true" width="120"
           value="A longer text that wraps over several lines at the width it is given."/>
    <hbox>
        <label id="name-label" value="Name:"/>
        <textbox id="name" hFlex="1"/>
    </hbox>
    <groupbox id="group" label="Options" orient="vertical">
        <checkbox id="check" label="Keep the window on top"/>
        <combobox id="choice"><listitem label="First choice"/><listitem label="Second"/></combobox>
    </groupbox>
    <dialog id="inner"><label id="inner-label" value="In a nested dialog"/></dialog>
    <line/>
    <hbox>
        <spacer hFlex="1"/>
        <button id="ok" label="OK" dlgType="accept"/>
        <button id="cancel" label="Cancel" dlgType="cancel"/>
    </hbox>
</dialog>)";

constexpr wchar_t kResizable[] = LR"(<dialog id="d" caption="Sized" orient="vertical"
        border="resizing">
    <label id="intro" value="A window the user may size"/>
    <textbox id="notes" multiline="true" vFlex="1" hFlex="1"/>
    <hbox><spacer hFlex="1"/><button id="ok" label="Close" dlgType="accept"/></hbox>
</dialog>)";

struct Layout {
    SIZE outer{};
    std::vector<RECT> children; // every window below the dialog, in its client coordinates
};

Layout Capture(HWND dialog) {
    Layout layout;
    RECT r{};
    ::GetWindowRect(dialog, &r);
    layout.outer = {r.right - r.left, r.bottom - r.top};
    struct Walk {
        HWND dialog;
        std::vector<RECT>* rects;
    } walk{dialog, &layout.children};
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) noexcept -> BOOL {
            auto& w = *reinterpret_cast<Walk*>(param);
            RECT placed{};
            ::GetWindowRect(child, &placed);
            ::MapWindowPoints(HWND_DESKTOP, w.dialog, reinterpret_cast<POINT*>(&placed), 2);
            w.rects->push_back(placed);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return layout;
}

// Runs the description at `dpi` (0: the window's own) with one step, then
// closes it; fails unless the dialog ran.
void RunAt(std::wstring_view xml, UINT dpi, const ScriptedDialog::Step& step) {
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(xml);
    ScriptedDialog dialog(file.Path(), &engine);
    if (dpi)
        dialog.SetDpi(dpi);
    dialog.steps = {step, [](ScriptedDialog& d) { ::EndDialog(d.Hwnd(), IDCANCEL); }};
    dialog.DoModal(nullptr);
    ASSERT_TRUE(dialog.Shown());
    EXPECT_EQ(dialog.StepsRun(), dialog.steps.size());
}

int FontHeight(HFONT font) {
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof lf, &lf);
    return lf.lfHeight;
}

HFONT WindowFont(HWND window) {
    return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

// The stock GUI font's size in points, which the dialog's font keeps.
int StockPoints() {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return ::MulDiv(std::abs(lf.lfHeight), 72, static_cast<int>(::GetDpiForSystem()));
}

// The text of a static control drawn in its own font fits its client area.
void ExpectTextInside(HWND label, const wchar_t* id) {
    wchar_t text[256] = {};
    ::GetWindowTextW(label, text, 256);
    RECT client{};
    ::GetClientRect(label, &client);
    kelvo::WindowDc dc(label);
    kelvo::SelectedObject font(dc.Get(), WindowFont(label));
    const bool wraps = (::GetWindowLongW(label, GWL_STYLE) & SS_CENTERIMAGE) == 0;
    RECT needed{0, 0, wraps ? client.right : 1, 0};
    ::DrawTextW(dc.Get(), text, -1, &needed, DT_CALCRECT | (wraps ? DT_WORDBREAK : 0));
    EXPECT_LE(needed.right, client.right) << id;
    EXPECT_LE(needed.bottom, client.bottom) << id;
}

void ExpectWithin(const Layout& actual, const Layout& expected, int tolerance) {
    EXPECT_LE(std::abs(actual.outer.cx - expected.outer.cx), tolerance);
    EXPECT_LE(std::abs(actual.outer.cy - expected.outer.cy), tolerance);
    ASSERT_EQ(actual.children.size(), expected.children.size());
    for (std::size_t i = 0; i < actual.children.size(); ++i) {
        const RECT& a = actual.children[i];
        const RECT& e = expected.children[i];
        EXPECT_LE(std::abs(a.left - e.left), tolerance) << "window " << i;
        EXPECT_LE(std::abs(a.top - e.top), tolerance) << "window " << i;
        EXPECT_LE(std::abs(a.right - e.right), tolerance) << "window " << i;
        EXPECT_LE(std::abs(a.bottom - e.bottom), tolerance) << "window " << i;
    }
}

// What the system does when the window moves to a monitor of `dpi`: asks
// for the size, then changes the DPI with a rectangle of that size.
void MoveToDpi(HWND dialog, UINT dpi) {
    SIZE size{};
    ASSERT_TRUE(::SendMessageW(dialog, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
    RECT r{};
    ::GetWindowRect(dialog, &r);
    RECT suggested{r.left, r.top, r.left + size.cx, r.top + size.cy};
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
}

class DialogDpiTest : public ::testing::TestWithParam<UINT> {
protected:
    void SetUp() override { wyn_test::InitPlatform(); }
};

TEST_P(DialogDpiTest, AFreshLayoutFollowsTheDpi) {
    const UINT dpi = GetParam();
    const int points = StockPoints();
    RunAt(kForm, dpi, [&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetDpi(), dpi);
        const int height = -::MulDiv(points, static_cast<int>(dpi), 72);
        EXPECT_EQ(FontHeight(d.GetFont()), height);
        for (const wchar_t* id : {L"intro", L"wrapped", L"name-label", L"inner-label"}) {
            ASSERT_NE(d.Window(id), nullptr) << id;
            EXPECT_EQ(FontHeight(WindowFont(d.Window(id))), height) << id;
            ExpectTextInside(d.Window(id), id);
        }
        // Dialog units come from the font at this DPI: the buttons' 14
        // units of height grow with it.
        const RECT ok = d.Placed(L"ok");
        const int expected = ::MulDiv(23, static_cast<int>(dpi), 96);
        EXPECT_NEAR(ok.bottom - ok.top, expected, expected / 8) << "button height at " << dpi;
    });
}

TEST_P(DialogDpiTest, AChangeOfDpiLaysTheDialogOutAfresh) {
    const UINT dpi = GetParam();
    const struct {
        const wchar_t* xml;
        std::vector<const wchar_t*> labels;
    } cases[] = {{kForm, {L"intro", L"inner-label"}}, {kResizable, {L"intro"}}};
    for (const auto& c : cases) {
        Layout fresh;
        RunAt(c.xml, dpi, [&](ScriptedDialog& d) { fresh = Capture(d.Hwnd()); });
        Layout first, changed, back;
        RunAt(c.xml, 96, [&](ScriptedDialog& d) {
            first = Capture(d.Hwnd());
            MoveToDpi(d.Hwnd(), dpi);
            changed = Capture(d.Hwnd());
            EXPECT_EQ(d.GetDpi(), dpi);
            // Every control has the font made for the new DPI, a nested
            // dialog's too.
            for (const wchar_t* id : c.labels) {
                ASSERT_NE(d.Window(id), nullptr) << id;
                EXPECT_EQ(FontHeight(WindowFont(d.Window(id))), FontHeight(d.GetFont())) << id;
            }
            MoveToDpi(d.Hwnd(), 96);
            back = Capture(d.Hwnd());
        });
        ExpectWithin(changed, fresh, 1);
        ExpectWithin(back, first, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, DialogDpiTest, ::testing::Values(96u, 120u, 144u, 192u));

TEST(DialogDpi, AWindowTheUserSizedKeepsItsSizeScaled) {
    wyn_test::InitPlatform();
    RunAt(kResizable, 96, [](ScriptedDialog& d) {
        RECT r{};
        ::GetWindowRect(d.Hwnd(), &r);
        const SIZE natural{r.right - r.left, r.bottom - r.top};
        ::SetWindowPos(d.Hwnd(), nullptr, 0, 0, natural.cx + 200, natural.cy + 100,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT client{};
        ::GetClientRect(d.Hwnd(), &client);
        SIZE size{};
        ::SendMessageW(d.Hwnd(), WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&size));
        // The client area scaled by half as much again, and a frame (less
        // than the whole natural window).
        EXPECT_GT(size.cx, client.right * 3 / 2);
        EXPECT_LT(size.cx, client.right * 3 / 2 + natural.cx);
        EXPECT_GT(size.cy, client.bottom * 3 / 2);
        EXPECT_LT(size.cy, client.bottom * 3 / 2 + natural.cy);
        // Asking changes nothing.
        EXPECT_EQ(d.GetDpi(), 96u);
        ::GetWindowRect(d.Hwnd(), &r);
        EXPECT_EQ(r.right - r.left, natural.cx + 200);
    });
}

} // namespace
