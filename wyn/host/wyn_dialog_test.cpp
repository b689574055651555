#include "wyn/host/wyn_dialog.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::HorizontalUnits;
using wyn_test::RunDialog;
using wyn_test::ScriptedDialog;
using wyn_test::VerticalUnits;

class WynDialogTest : public ::testing::Test {
protected:
    void SetUp() override { wyn_test::InitPlatform(); }

    CWynEngine m_engine{wyn_test::Module()};
};

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT PrimaryWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

constexpr wchar_t kOkCancel[] = LR"(<dialog id="d" caption="Ask" orient="vertical">
    <textbox id="name"/>
    <hbox>
        <button id="ok" label="OK" dlgType="accept"/>
        <button id="cancel" label="Cancel" dlgType="cancel"/>
    </hbox>
</dialog>)";

TEST_F(WynDialogTest, EnterAcceptsOnlyWhenCanCloseAgrees) {
    DescriptionFile file(kOkCancel);
    ScriptedDialog dialog(file.Path(), &m_engine);
    dialog.allowClose = false;
    dialog.steps = {
        [](ScriptedDialog& d) { d.PressKey(VK_RETURN); },
        [](ScriptedDialog& d) {
            EXPECT_TRUE(::IsWindowVisible(d.Hwnd())) << "refused: the dialog stays";
            d.allowClose = true;
            d.PressKey(VK_RETURN);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.reasons, (std::vector<int>{1, 1}));
    ASSERT_FALSE(dialog.events.empty());
    EXPECT_EQ(dialog.events.front().source, L"ok");
    EXPECT_EQ(dialog.events.front().name, L"clicked");
}

TEST_F(WynDialogTest, EscapeAndTheCloseBoxAskWithTheirReasonsAndEndWithCancel) {
    DescriptionFile file(kOkCancel);
    {
        ScriptedDialog dialog(file.Path(), &m_engine);
        dialog.steps = {[](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); }};
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_EQ(dialog.reasons, (std::vector<int>{2}));
    }
    {
        ScriptedDialog dialog(file.Path(), &m_engine);
        dialog.allowClose = false;
        dialog.steps = {
            [](ScriptedDialog& d) { ::PostMessageW(d.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); },
            [](ScriptedDialog& d) {
                EXPECT_TRUE(::IsWindowVisible(d.Hwnd()));
                d.allowClose = true;
                ::PostMessageW(d.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
            },
        };
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_EQ(dialog.reasons, (std::vector<int>{0, 0}));
    }
}

TEST_F(WynDialogTest, WithoutBorderAModalFrameAndNoReLayout) {
    RunDialog(m_engine, LR"(<dialog><textbox id="t" hFlex="1"/></dialog>)", {[](ScriptedDialog& d) {
                  EXPECT_TRUE(::GetWindowLongW(d.Hwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
                  EXPECT_FALSE(::GetWindowLongW(d.Hwnd(), GWL_STYLE) & WS_THICKFRAME);
                  EXPECT_FALSE(d.IsResizable());
                  const RECT before = d.Placed(L"t");
                  const RECT outer = WindowRect(d.Hwnd());
                  ::SetWindowPos(d.Hwnd(), nullptr, 0, 0, outer.right - outer.left + 100,
                                 outer.bottom - outer.top + 50, SWP_NOMOVE | SWP_NOZORDER);
                  EXPECT_EQ(d.Placed(L"t").right, before.right);
              }});
}

TEST_F(WynDialogTest, ResizingReLaysOutAndKeepsTheInitialSizeAsMinimum) {
    DescriptionFile file(
        LR"(<dialog border="resizing"><textbox id="t" hFlex="1" vFlex="1"/></dialog>)");
    ScriptedDialog dialog(file.Path(), &m_engine);
    dialog.steps = {[](ScriptedDialog& d) {
        EXPECT_TRUE(::GetWindowLongW(d.Hwnd(), GWL_STYLE) & WS_THICKFRAME);
        const RECT initial = WindowRect(d.Hwnd());
        const SIZE minimum{initial.right - initial.left, initial.bottom - initial.top};
        EXPECT_EQ(d.MinOuterSize().cx, minimum.cx);
        EXPECT_EQ(d.MinOuterSize().cy, minimum.cy);

        const RECT before = d.Placed(L"t");
        ::SetWindowPos(d.Hwnd(), nullptr, 0, 0, minimum.cx + 100, minimum.cy + 50,
                       SWP_NOMOVE | SWP_NOZORDER);
        const RECT after = d.Placed(L"t");
        EXPECT_EQ(after.right - after.left, before.right - before.left + 100);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top + 50);

        // Dragging any edge or corner to a tiny size stops at the minimum,
        // with the opposite edges where they were.
        for (WPARAM edge = WMSZ_LEFT; edge <= WMSZ_BOTTOMRIGHT; ++edge) {
            RECT proposed{400, 300, 410, 310};
            ::SendMessageW(d.Hwnd(), WM_SIZING, edge, reinterpret_cast<LPARAM>(&proposed));
            EXPECT_EQ(proposed.right - proposed.left, minimum.cx) << "edge " << edge;
            EXPECT_EQ(proposed.bottom - proposed.top, minimum.cy) << "edge " << edge;
            const bool moves_left =
                edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
            const bool moves_top =
                edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
            EXPECT_EQ(moves_left ? proposed.right : proposed.left, moves_left ? 410 : 400);
            EXPECT_EQ(moves_top ? proposed.bottom : proposed.top, moves_top ? 310 : 300);
        }
        MINMAXINFO limits{};
        ::SendMessageW(d.Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, minimum.cx);
        EXPECT_EQ(limits.ptMinTrackSize.y, minimum.cy);
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_GT(dialog.savedSize.cx, dialog.MinOuterSize().cx) << "the size at the end";
}

TEST_F(WynDialogTest, WidthWithoutHeightForcesTheWidthOnly) {
    RunDialog(m_engine, LR"(<dialog width="150"><label id="l" value="Hi"/></dialog>)",
              {[](ScriptedDialog& d) {
                  RECT client{};
                  ::GetClientRect(d.Hwnd(), &client);
                  EXPECT_EQ(client.right, HorizontalUnits(d.Hwnd(), 150));
                  EXPECT_EQ(client.bottom, d.Measure().cy);
                  EXPECT_LT(d.Measure().cx, client.right) << "narrower than the forced width";
              }});
}

TEST_F(WynDialogTest, PlacedCentredAtTheOwnerOrAtTheWorkAreasTopLeft) {
    const RECT work = PrimaryWorkArea();
    RunDialog(
        m_engine, LR"(<dialog centerScreen="true"><label value="centred"/></dialog>)",
        {[&](ScriptedDialog& d) {
            const RECT r = WindowRect(d.Hwnd());
            EXPECT_EQ(r.left, work.left + (work.right - work.left) / 2 - (r.right - r.left) / 2);
            EXPECT_EQ(r.top, work.top + (work.bottom - work.top) / 2 - (r.bottom - r.top) / 2);
        }});
    RunDialog(m_engine, LR"(<dialog><label value="no owner"/></dialog>)", {[&](ScriptedDialog& d) {
                  const RECT r = WindowRect(d.Hwnd());
                  EXPECT_EQ(r.left, work.left);
                  EXPECT_EQ(r.top, work.top);
              }});

    const struct {
        POINT owner;
        bool fitsThere;
    } owners[] = {{{work.left + 150, work.top + 120}, true},
                  {{work.right - 20, work.bottom - 20}, false}};
    for (const auto& o : owners) {
        kelvo::UniqueHwnd owner(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
                                                  o.owner.x, o.owner.y, 50, 50, nullptr, nullptr,
                                                  wyn_test::Module(), nullptr));
        DescriptionFile file(LR"(<dialog><label value="owned"/></dialog>)");
        ScriptedDialog dialog(file.Path(), &m_engine);
        dialog.steps = {[&](ScriptedDialog& d) {
            const RECT r = WindowRect(d.Hwnd());
            if (o.fitsThere) {
                EXPECT_EQ(r.left, o.owner.x);
                EXPECT_EQ(r.top, o.owner.y);
            } else {
                EXPECT_EQ(r.right, work.right) << "moved left to fit";
                EXPECT_EQ(r.bottom, work.bottom) << "moved up to fit";
            }
            d.PressKey(VK_ESCAPE);
        }};
        EXPECT_EQ(dialog.DoModal(owner.Get()), IDCANCEL);
    }
}

TEST_F(WynDialogTest, LongCaptionIsShownWhole) {
    const std::wstring caption(3000, L'c');
    RunDialog(m_engine, L"<dialog caption=\"" + caption + L"\"><label value=\"x\"/></dialog>",
              {[&](ScriptedDialog& d) {
                  EXPECT_EQ(::GetWindowTextLengthW(d.Hwnd()), 3000);
                  EXPECT_EQ(d.Caption(), caption);
              }});
}

TEST_F(WynDialogTest, ElementWindowsGetTheDialogFont) {
    RunDialog(m_engine, LR"(<dialog><textbox id="t"/><button id="b" label="B"/></dialog>)",
              {[](ScriptedDialog& d) {
                  const HFONT font = d.GetFont();
                  EXPECT_EQ(d.GetFont(), font) << "made once";
                  for (const wchar_t* id : {L"t", L"b"}) {
                      EXPECT_EQ(
                          reinterpret_cast<HFONT>(::SendMessageW(d.Window(id), WM_GETFONT, 0, 0)),
                          font);
                  }
                  LOGFONTW stock{};
                  LOGFONTW made{};
                  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
                  ::GetObjectW(font, sizeof(made), &made);
                  EXPECT_STREQ(made.lfFaceName, stock.lfFaceName);
              }});
}

TEST_F(WynDialogTest, NotificationsReachTheirElementOrTheFallback) {
    DescriptionFile file(
        LR"(<dialog><button id="b" label="B"/><label id="l" value="x"/></dialog>)");
    ScriptedDialog dialog(file.Path(), &m_engine);
    kelvo::UniqueHwnd stranger;
    dialog.steps = {[&](ScriptedDialog& d) {
        ::SendMessageW(d.Window(L"b"), BM_CLICK, 0, 0);
        ASSERT_FALSE(d.events.empty());
        EXPECT_EQ(d.events.back().source, L"b");
        EXPECT_EQ(d.events.back().name, L"clicked");

        CWynElement* label = d.FindById(L"l");
        DRAWITEMSTRUCT draw{};
        ::SendMessageW(d.Hwnd(), WM_DRAWITEM, static_cast<WPARAM>(label->ControlId()),
                       reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(d.events.back().source, L"l");
        EXPECT_EQ(d.events.back().name, L"drawitem");
        ::SendMessageW(d.Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(label->Hwnd()), 0);
        EXPECT_EQ(d.events.back().name, L"contextmenu");

        // A window that belongs to no element goes to the fallback.
        stranger.Reset(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 1, 1, d.Hwnd(),
                                         reinterpret_cast<HMENU>(555), wyn_test::Module(),
                                         nullptr));
        const std::size_t events = d.events.size();
        ::SendMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(555, BN_CLICKED),
                       reinterpret_cast<LPARAM>(stranger.Get()));
        ASSERT_FALSE(d.fallbacks.empty());
        EXPECT_EQ(d.fallbacks.back().message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(d.fallbacks.back().element, nullptr);
        EXPECT_EQ(d.events.size(), events);
        stranger.Release(); // goes with the dialog
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST_F(WynDialogTest, NoExceptionLeavesTheDialogProcedure) {
    DescriptionFile file(kOkCancel);
    ScriptedDialog dialog(file.Path(), &m_engine);
    dialog.eventAnswer = [](CWynElement*, std::wstring_view name, WPARAM, LPARAM) -> std::int64_t {
        if (name == L"clicked")
            throw std::bad_alloc();
        return 0;
    };
    dialog.steps = {
        [](ScriptedDialog& d) { ::SendMessageW(d.Window(L"ok"), BM_CLICK, 0, 0); },
        [](ScriptedDialog& d) {
            EXPECT_TRUE(::IsWindowVisible(d.Hwnd()));
            d.eventAnswer = nullptr;
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST_F(WynDialogTest, ADescriptionThatCannotBeLoadedShowsNothing) {
    ScriptedDialog missing(L"res:no-such.xml", &m_engine);
    EXPECT_EQ(missing.DoModal(nullptr), 0);
    DescriptionFile broken(L"<dialog><label value=\"x\"></dialog>");
    ScriptedDialog unparsable(broken.Path(), &m_engine);
    EXPECT_EQ(unparsable.DoModal(nullptr), 0);
    DescriptionFile other(L"<box/>");
    ScriptedDialog no_dialog(other.Path(), &m_engine);
    EXPECT_EQ(no_dialog.DoModal(nullptr), 0);
}

TEST(RunDialog, FailsATestWhoseDialogNeverShowed) {
    wyn_test::InitPlatform();
    EXPECT_NONFATAL_FAILURE(
        {
            CWynEngine engine{wyn_test::Module()};
            RunDialog(engine, L"<dialog><label value=\"x\"></dialog>", {});
        },
        "the dialog never showed");
}

TEST_F(WynDialogTest, ADialogObjectIsShownOnce) {
    DescriptionFile file(kOkCancel);
    ScriptedDialog dialog(file.Path(), &m_engine);
    dialog.steps = {[](ScriptedDialog& d) { d.PressKey(VK_ESCAPE); }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog.DoModal(nullptr), 0);
    EXPECT_EQ(dialog.Children().size(), 2u) << "the tree was not built twice";
}

TEST_F(WynDialogTest, NestedDialogIsAChildDialogWhoseOkEndsTheDialog) {
    DescriptionFile file(LR"(<dialog orient="vertical">
        <label value="outside"/>
        <dialog id="page" orient="vertical" marginLeft="10" border="resizing">
            <textbox id="inner"/>
            <button id="ok" label="OK" dlgType="accept"/>
        </dialog>
    </dialog>)");
    ScriptedDialog dialog(file.Path(), &m_engine);
    dialog.steps = {[](ScriptedDialog& d) {
        HWND page = d.Window(L"page");
        ASSERT_TRUE(page);
        EXPECT_TRUE(::GetWindowLongW(page, GWL_STYLE) & WS_CHILD);
        EXPECT_TRUE(::GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
        EXPECT_EQ(::GetParent(page), d.Hwnd());
        EXPECT_EQ(::GetParent(d.Window(L"inner")), page);
        const RECT page_rect = d.Placed(L"page");
        ::SetWindowPos(page, nullptr, 0, 0, page_rect.right - page_rect.left + 10,
                       page_rect.bottom - page_rect.top, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(d.Placed(L"page").left, page_rect.left) << "sized by its parent only";
        RECT inner{};
        ::GetWindowRect(d.Window(L"inner"), &inner);
        ::MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&inner), 2);
        EXPECT_EQ(inner.left, HorizontalUnits(page, 10)) << "the page's own margin";
        RECT client{};
        ::GetClientRect(page, &client);
        EXPECT_LE(inner.right, client.right);
        ::SendMessageW(d.Window(L"ok"), BM_CLICK, 0, 0);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDOK);
    EXPECT_EQ(dialog.reasons, (std::vector<int>{1}));
}

// A dialog that uses the hooks a subclass has.
class HookedDialog : public ScriptedDialog {
public:
    using ScriptedDialog::ScriptedDialog;

    void OnBeforeInit() override {
        CWynElement* button = FindById(L"b");
        windowBeforeInit = button ? button->Hwnd() : reinterpret_cast<HWND>(1);
    }
    int AdjustFontSize(int points) override { return points + 4; }
    int AdjustWidth(int width) override { return width + 40; }
    int AdjustHeight(int height) override { return height + 30; }
    CWynElement* GetDefaultButton() override { return FindById(L"b"); }
    bool HandleMenuKey(wchar_t character) override {
        menuKeys.push_back(character);
        return character == L'q';
    }

    HWND windowBeforeInit = reinterpret_cast<HWND>(1);
    std::wstring menuKeys;
};

TEST_F(WynDialogTest, SubclassHooksAreAskedAtTheirMoments) {
    DescriptionFile file(LR"(<dialog><button id="b" label="B"/><textbox id="t"/></dialog>)");
    HookedDialog dialog(file.Path(), &m_engine);
    dialog.steps = {[](ScriptedDialog& s) {
        auto& d = static_cast<HookedDialog&>(s);
        EXPECT_EQ(d.windowBeforeInit, nullptr) << "elements exist, their windows not yet";

        LOGFONTW stock{};
        LOGFONTW made{};
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(stock), &stock);
        ::GetObjectW(d.GetFont(), sizeof(made), &made);
        EXPECT_GT(std::abs(made.lfHeight), std::abs(stock.lfHeight)) << "4 points larger";

        const RECT outer = WindowRect(d.Hwnd());
        EXPECT_EQ(outer.right - outer.left, d.MinOuterSize().cx + 40);
        EXPECT_EQ(outer.bottom - outer.top, d.MinOuterSize().cy + 30);

        const LRESULT def_id = ::SendMessageW(d.Hwnd(), DM_GETDEFID, 0, 0);
        EXPECT_EQ(HIWORD(def_id), DC_HASDEFID);
        EXPECT_EQ(LOWORD(def_id), d.FindById(L"b")->ControlId());

        EXPECT_EQ(::SendMessageW(d.Hwnd(), WM_SYSCOMMAND, SC_KEYMENU, L'q'), 0);
        EXPECT_EQ(d.menuKeys, L"q");

        ::SendMessageW(d.Hwnd(), WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(d.Window(L"t")));
        ASSERT_FALSE(d.events.empty());
        EXPECT_EQ(d.events.back().source, L"t");
        EXPECT_EQ(d.events.back().name, L"vscroll");
        d.PressKey(VK_ESCAPE);
    }};
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
