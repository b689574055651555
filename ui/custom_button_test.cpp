#include "ui/custom_button.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/paint_buffer.h"
#include "ui/drawn_test.h"
#include "wyn/testing/test_dialog.h"

namespace {

using State = CWynCustomButton::State;

constexpr COLORREF kHot = RGB(0xB0, 0xD8, 0xF0);
constexpr COLORREF kPressed = RGB(0x30, 0x70, 0xB0);

// Three buttons the owner sizes 64 x 28 and paints by their state, and one
// it does not answer for.
class CustomButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root.answer = [this](CWynElement* source, std::wstring_view name, WPARAM first,
                             LPARAM second) -> std::int64_t {
            if (source->Id() == L"bare")
                return 0;
            if (name == L"custombtn-getsize") {
                *reinterpret_cast<SIZE*>(first) = {64, 28};
                return 1;
            }
            if (name == L"custombtn-paint") {
                Paint(*reinterpret_cast<kelvo::CPaintContext*>(first),
                      *reinterpret_cast<const CWynCustomButton::PaintRecord*>(second));
                return 1;
            }
            return 0;
        };
        ui_test::Build(m_root, LR"(<dialog>
            <hbox><custombutton id="btn"/><custombutton id="hot"/><custombutton id="pressed"/>
            <custombutton id="bare"/></hbox>
        </dialog>)");
        m_button = dynamic_cast<CWynCustomButton*>(m_root.FindById(L"btn"));
        ASSERT_NE(m_button, nullptr);
        ASSERT_NE(m_button->Hwnd(), nullptr);
        m_root.events.clear();
    }

    // A rounded frame with the state's fill and a label; the corners show
    // what lies under the button.
    void Paint(kelvo::CPaintContext& context, const CWynCustomButton::PaintRecord& record) {
        m_painted.push_back(record.state);
        cairo_t* cr = context.Cairo();
        const RECT& r = record.client;
        const double radius = 6;
        cairo_new_sub_path(cr);
        cairo_arc(cr, r.right - radius - 1, r.top + radius + 1, radius, -1.5708, 0);
        cairo_arc(cr, r.right - radius - 1, r.bottom - radius - 1, radius, 0, 1.5708);
        cairo_arc(cr, r.left + radius + 1, r.bottom - radius - 1, radius, 1.5708, 3.1416);
        cairo_arc(cr, r.left + radius + 1, r.top + radius + 1, radius, 3.1416, 4.7124);
        cairo_close_path(cr);
        context.SetColour(record.state == State::kPressed ? kPressed
                          : record.state == State::kHot   ? kHot
                                                         : ::GetSysColor(COLOR_WINDOW));
        cairo_fill_preserve(cr);
        context.SetColour(::GetSysColor(COLOR_BTNSHADOW));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        HDC dc = context.Dc();
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, record.state == State::kPressed ? RGB(255, 255, 255) : RGB(0, 0, 0));
        const wchar_t* label = record.state == State::kPressed ? L"pressed"
                               : record.state == State::kHot   ? L"hot"
                                                              : L"normal";
        RECT text = r;
        ::DrawTextW(dc, label, -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }

    void Mouse(UINT message, int x, int y, HWND window = nullptr) {
        ::SendMessageW(window ? window : m_button->Hwnd(), message,
                       message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    bool Clicked() {
        const auto told =
            m_root.TakeEvents([](std::wstring_view name) { return name == L"clicked"; });
        return !told.empty();
    }
    // The state the button paints itself in now.
    State PaintedState() {
        m_painted.clear();
        ::RedrawWindow(m_button->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return m_painted.empty() ? State(-1) : m_painted.back();
    }

    CkvWynEngine m_engine{wyn_test::Module()};
    ui_test::OwnerRoot m_root{&m_engine};
    CWynCustomButton* m_button = nullptr;
    std::vector<State> m_painted;
};

TEST_F(CustomButtonTest, OwnerGivesTheSizeAndPaintsOverTheParentsBackground) {
    RECT client{};
    ::GetClientRect(m_button->Hwnd(), &client);
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 28);
    RECT bare{};
    ::GetClientRect(m_root.FindById(L"bare")->Hwnd(), &bare);
    EXPECT_TRUE(::IsRectEmpty(&bare)) << "unanswered, the button takes no room";
    EXPECT_EQ(PaintedState(), State::kNormal);
    EXPECT_EQ(ui_test::ScreenPixel(m_button->Hwnd(), 4, 14), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ui_test::ScreenPixel(m_button->Hwnd(), 0, 0), ::GetSysColor(COLOR_BTNFACE))
        << "the dialog's background in the corner";
    EXPECT_EQ(::SendMessageW(m_button->Hwnd(), WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(CustomButtonTest, PressAndReleaseInsideClicks) {
    Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(PaintedState(), State::kHot);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    EXPECT_EQ(PaintedState(), State::kPressed);
    EXPECT_EQ(::GetCapture(), m_button->Hwnd());
    Mouse(WM_LBUTTONUP, 12, 12);
    EXPECT_TRUE(Clicked());
    EXPECT_EQ(m_button->CurrentState(), State::kHot);
    EXPECT_EQ(::GetCapture(), nullptr);
    Mouse(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(PaintedState(), State::kNormal);
}

TEST_F(CustomButtonTest, PressDraggedOutAndReleasedDoesNotClick) {
    Mouse(WM_LBUTTONDOWN, 10, 10);
    Mouse(WM_MOUSEMOVE, 200, 10);
    Mouse(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(m_button->CurrentState(), State::kPressed) << "held, the press stays";
    Mouse(WM_LBUTTONUP, 200, 10);
    EXPECT_FALSE(Clicked());
    EXPECT_EQ(PaintedState(), State::kNormal);
}

TEST_F(CustomButtonTest, ReleaseWithoutAPressOnTheButtonDoesNotClick) {
    // The button went down elsewhere (on a menu the release dismisses) and
    // comes up over the button.
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_FALSE(Clicked());

    // A press whose mouse capture someone else takes over (a menu opening).
    Mouse(WM_LBUTTONDOWN, 10, 10);
    HWND other = m_root.FindById(L"hot")->Hwnd();
    ::SetCapture(other);
    EXPECT_EQ(m_button->CurrentState(), State::kNormal);
    ::ReleaseCapture();
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_FALSE(Clicked());
}

TEST_F(CustomButtonTest, DisabledButtonRepaintsAndNeverClicks) {
    Mouse(WM_MOUSEMOVE, 10, 10);
    ::UpdateWindow(m_button->Hwnd());
    m_painted.clear();
    m_button->SetDisabled(true);
    ::UpdateWindow(m_button->Hwnd());
    ASSERT_FALSE(m_painted.empty()) << "disabling repaints";
    EXPECT_EQ(m_painted.back(), State::kNormal);
    Mouse(WM_LBUTTONDOWN, 10, 10);
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_FALSE(Clicked());
    EXPECT_EQ(::GetCapture(), nullptr);

    m_painted.clear();
    m_button->SetDisabled(false);
    ::UpdateWindow(m_button->Hwnd());
    EXPECT_FALSE(m_painted.empty()) << "enabling repaints";
    Mouse(WM_LBUTTONDOWN, 10, 10);
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_TRUE(Clicked());
}

TEST_F(CustomButtonTest, ScreenReadersSeeAPushButtonNamedByItsTooltipOrText) {
    const kelvo::ComPtr<IAccessible> object = ui_test::AccessibleOf(m_button->Hwnd());
    ASSERT_TRUE(object);
    EXPECT_EQ(ui_test::AccNumber(*object.Get(), CHILDID_SELF, true), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(ui_test::AccName(*object.Get(), CHILDID_SELF), L"");

    // A tooltip with the button's window as its tool, as the main window
    // gives its buttons.
    kelvo::UniqueHwnd tooltip(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                                 WS_POPUP | TTS_NOPREFIX, 0, 0, 0, 0, m_root.Dialog(),
                                                 nullptr, nullptr, nullptr));
    ASSERT_TRUE(tooltip);
    std::wstring tip = L"Paste selected chunk (Enter)";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_root.Dialog();
    tool.uId = reinterpret_cast<UINT_PTR>(m_button->Hwnd());
    tool.lpszText = tip.data();
    ASSERT_TRUE(::SendMessageW(tooltip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(ui_test::AccName(*object.Get(), CHILDID_SELF), tip);
    ::SetWindowTextW(m_button->Hwnd(), L"Paste");
    EXPECT_EQ(ui_test::AccName(*object.Get(), CHILDID_SELF), L"Paste") << "its own text first";

    EXPECT_EQ(object->accDoDefaultAction(ui_test::Child(CHILDID_SELF)), S_OK);
    EXPECT_TRUE(Clicked());
    m_button->SetDisabled(true);
    EXPECT_NE(ui_test::AccNumber(*object.Get(), CHILDID_SELF, false) & STATE_SYSTEM_UNAVAILABLE, 0);
    EXPECT_NE(object->accDoDefaultAction(ui_test::Child(CHILDID_SELF)), S_OK);
    EXPECT_FALSE(Clicked());
}

TEST_F(CustomButtonTest, ThreeStatesForPeopleToLookAt) {
    HWND hot = m_root.FindById(L"hot")->Hwnd();
    HWND pressed = m_root.FindById(L"pressed")->Hwnd();
    Mouse(WM_MOUSEMOVE, 10, 10, hot);
    Mouse(WM_LBUTTONDOWN, 10, 10, pressed);
    EXPECT_EQ(ui_test::ScreenPixel(hot, 32, 4), kHot);
    EXPECT_EQ(ui_test::ScreenPixel(pressed, 32, 4), kPressed);
    EXPECT_TRUE(ui_test::SaveShot(m_root.Dialog(), L"buttons-normal-hot-pressed"));
    Mouse(WM_LBUTTONUP, 100, 100, pressed);
}

TEST(CustomButtonInDialogTest, TabNeverStopsOnIt) {
    wyn_test::InitPlatform();
    CkvWynEngine engine(wyn_test::Module());
    wyn_test::DescriptionFile file(LR"(<dialog>
        <textbox id="first"/>
        <custombutton id="drawn"/>
        <textbox id="second"/>
    </dialog>)");
    wyn_test::ScriptedDialog dialog(file.Path(), &engine);
    dialog.eventAnswer = [](CWynElement*, std::wstring_view name, WPARAM first, LPARAM) {
        if (name == L"custombtn-getsize")
            *reinterpret_cast<SIZE*>(first) = {40, 20};
        return std::int64_t{0};
    };
    std::vector<HWND> focused;
    HWND drawn = nullptr;
    const auto tab = [&](wyn_test::ScriptedDialog& d) {
        focused.push_back(::GetFocus());
        d.PressKey(VK_TAB);
    };
    dialog.steps = {[&](wyn_test::ScriptedDialog& d) {
                        drawn = d.Window(L"drawn");
                        ::SetFocus(d.Window(L"first"));
                    },
                    tab, tab, tab,
                    [&](wyn_test::ScriptedDialog& d) {
                        focused.push_back(::GetFocus());
                        ::EndDialog(d.Hwnd(), 5);
                    }};
    ASSERT_EQ(dialog.DoModal(nullptr), 5) << "the script ran to its end";
    ASSERT_NE(drawn, nullptr);
    ASSERT_EQ(focused.size(), 4u);
    for (HWND window : focused)
        EXPECT_NE(window, drawn);
    EXPECT_NE(focused[0], focused[1]) << "Tab moved";
    EXPECT_EQ(focused[0], focused[2]) << "between the two text boxes only";
    EXPECT_EQ(focused[1], focused[3]);
}

} // namespace
