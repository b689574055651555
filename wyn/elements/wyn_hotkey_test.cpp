#include "wyn/elements/wyn_hotkey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyn/testing/test_dialog.h"
#include "wyn/testing/test_tree.h"

namespace {

using wyn_test::TestRoot;

// The engine's types; records what the hotkey draws through the image hooks.
class RecordingEngine : public wyn_test::TestEngine {
public:
    struct Drawn {
        std::wstring image;
        RECT rect;
        int frame; // -1 for DrawImage
    };

    void DrawImage(HDC, int x, int y, int width, int height, const wchar_t* image) override {
        drawn.push_back({image, {x, y, x + width, y + height}, -1});
    }
    void DrawImageSkin(HDC, int x, int y, int width, int height, const wchar_t* image,
                       int frame_count, int frame_index, bool side_by_side) override {
        EXPECT_EQ(frame_count, 3);
        EXPECT_FALSE(side_by_side);
        drawn.push_back({image, {x, y, x + width, y + height}, frame_index});
    }

    std::vector<Drawn> drawn;
};

constexpr UINT kScanCtrl = 0x1D, kScanShift = 0x2A, kScanAlt = 0x38, kScanF5 = 0x3F, kScanA = 0x1E;

class WynHotkeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const auto node = wyn_test::ParseElement(
            L"<dialog><hotkey id='hk' icon='delhkicon.png' background='delhkbg.png'/></dialog>");
        ASSERT_TRUE(m_root.Parse(node.Get()));
        m_root.Create();
        const SIZE natural = m_root.Measure();
        m_root.Arrange(0, 0, natural.cx, natural.cy);
        m_hotkey = dynamic_cast<CWynHotkey*>(m_root.FindById(L"hk"));
        ASSERT_NE(m_hotkey, nullptr);
        ASSERT_NE(m_hotkey->Hwnd(), nullptr);
    }

    // A key message as the keyboard sends it: the scan code in bits 16-23,
    // bit 24 for extended keys, bits 30 and 31 for a release.
    void Key(UINT message, UINT scan, bool extended = false) {
        LPARAM l_param = 1 | static_cast<LPARAM>(scan) << 16;
        if (extended)
            l_param |= 1 << 24;
        if (message == WM_KEYUP || message == WM_SYSKEYUP)
            l_param |= static_cast<LPARAM>(3) << 30;
        ::SendMessageW(m_hotkey->Hwnd(), message, 0, l_param);
    }

    void Mouse(UINT message, int x, int y) {
        ::SendMessageW(m_hotkey->Hwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                       MAKELPARAM(x, y));
    }

    RECT Client() const {
        RECT client{};
        ::GetClientRect(m_hotkey->Hwnd(), &client);
        return client;
    }

    RecordingEngine m_engine;
    TestRoot m_root{&m_engine};
    CWynHotkey* m_hotkey = nullptr;
};

TEST_F(WynHotkeyTest, KeysBuildTheValueAndItsText) {
    Key(WM_KEYDOWN, kScanCtrl);
    Key(WM_KEYDOWN, kScanShift);
    Key(WM_KEYDOWN, kScanF5);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0374);
    EXPECT_EQ(m_hotkey->Text(), L"Ctrl + Shift + F5");
    EXPECT_EQ(m_root.last.source, m_hotkey);
    EXPECT_EQ(m_root.last.name, L"changed");
    Key(WM_KEYUP, kScanF5);
    Key(WM_KEYUP, kScanShift);
    Key(WM_KEYUP, kScanCtrl);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0374) << "releasing the keys keeps a complete hotkey";

    Key(WM_KEYDOWN, kScanShift);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0100) << "a modifier after a complete hotkey starts anew";
    EXPECT_EQ(m_hotkey->Text(), L"Shift + ");
    Key(WM_KEYUP, kScanShift);

    Key(WM_KEYDOWN, kScanCtrl);
    Key(WM_KEYDOWN, kScanA);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0241);
    EXPECT_EQ(m_hotkey->Text(), L"Ctrl + A");
    EXPECT_EQ(::SendMessageW(m_hotkey->Hwnd(), WM_USER + 2, 0, 0), 0x0241) << "HKM_GETHOTKEY";
}

TEST_F(WynHotkeyTest, AltAloneLeavesNone) {
    Key(WM_SYSKEYDOWN, kScanAlt);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0400);
    EXPECT_EQ(m_hotkey->Text(), L"Alt + ");
    Key(WM_SYSKEYUP, kScanAlt);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0);
    EXPECT_EQ(m_hotkey->Text(), L"None");
}

TEST_F(WynHotkeyTest, SettingTheValueShowsItWithoutAnEvent) {
    ::SendMessageW(m_hotkey->Hwnd(), WM_USER + 1, 0x0656, 0); // HKM_SETHOTKEY: Ctrl+Alt+V
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0656);
    EXPECT_EQ(m_hotkey->Text(), L"Ctrl + Alt + V");
    m_hotkey->SetIntValue(0x0A25); // Ctrl and the extended Left arrow
    EXPECT_EQ(m_hotkey->Text().rfind(L"Ctrl + ", 0), 0u);
    EXPECT_GT(m_hotkey->Text().size(), 7u) << "the key has a name";
    EXPECT_TRUE(m_root.last.name.empty());
    EXPECT_EQ(::SendMessageW(m_hotkey->Hwnd(), WM_GETDLGCODE, 0, 0),
              DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
}

TEST_F(WynHotkeyTest, ClearSquareClearsOnlyWhenReleasedInside) {
    const RECT client = Client();
    const int side = client.bottom;
    const int inside_x = client.right - side / 2, y = side / 2;

    m_hotkey->SetIntValue(0x0241);
    Mouse(WM_LBUTTONDOWN, inside_x, y);
    Mouse(WM_LBUTTONUP, 5, y);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0241) << "released outside the square";
    EXPECT_TRUE(m_root.last.name.empty());

    Mouse(WM_LBUTTONDOWN, 5, y);
    Mouse(WM_LBUTTONUP, inside_x, y);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0x0241) << "pressed outside the square";
    EXPECT_TRUE(m_root.last.name.empty());

    Mouse(WM_LBUTTONDOWN, inside_x, y);
    Mouse(WM_LBUTTONUP, inside_x, y);
    EXPECT_EQ(m_hotkey->GetIntValue(), 0);
    EXPECT_EQ(m_hotkey->Text(), L"None");
    EXPECT_EQ(m_root.last.source, m_hotkey);
    EXPECT_EQ(m_root.last.name, L"changed");
}

TEST_F(WynHotkeyTest, SquareIsDrawnWithTheFrameOfItsState) {
    ::ShowWindow(m_root.Dialog(), SW_SHOWNOACTIVATE);
    const RECT client = Client();
    const int side = client.bottom;
    const RECT square{client.right - side, 0, client.right, side};
    const auto painted_frame = [&] {
        m_engine.drawn.clear();
        ::RedrawWindow(m_hotkey->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        int frame = -2;
        bool icon = false;
        for (const auto& d : m_engine.drawn) {
            EXPECT_TRUE(::EqualRect(&d.rect, &square)) << "drawn over the clear square";
            if (d.image == L"delhkbg.png")
                frame = d.frame;
            icon = icon || (d.image == L"delhkicon.png" && d.frame == -1);
        }
        EXPECT_TRUE(icon) << "the icon is drawn over the skin";
        return frame;
    };
    EXPECT_EQ(painted_frame(), 0);
    Mouse(WM_MOUSEMOVE, client.right - side / 2, side / 2);
    EXPECT_EQ(painted_frame(), 1) << "hover";
    Mouse(WM_LBUTTONDOWN, client.right - side / 2, side / 2);
    EXPECT_EQ(painted_frame(), 2) << "pressed";
    Mouse(WM_MOUSEMOVE, 5, side / 2);
    EXPECT_EQ(painted_frame(), 0) << "pressed, moved away";
    Mouse(WM_LBUTTONUP, 5, side / 2);
}

TEST(WynHotkeyInDialogTest, EscapeAndTabBecomePartOfTheHotkey) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    wyn_test::DescriptionFile file(LR"(<dialog>
        <hotkey id="hk"/>
        <button id="ok" label="OK" dlgType="accept"/>
    </dialog>)");
    wyn_test::ScriptedDialog dialog(file.Path(), &engine);
    // Keys as the keyboard posts them, with their scan codes.
    const auto post = [](HWND window, UINT key, UINT scan) {
        ::PostMessageW(window, WM_KEYDOWN, key, 1 | static_cast<LPARAM>(scan) << 16);
        ::PostMessageW(window, WM_KEYUP, key, 0xC0000001 | static_cast<LPARAM>(scan) << 16);
    };
    dialog.steps = {
        [&](wyn_test::ScriptedDialog& d) {
            ::SetFocus(d.Window(L"hk"));
            post(d.Window(L"hk"), VK_ESCAPE, 0x01);
        },
        [&](wyn_test::ScriptedDialog& d) {
            EXPECT_TRUE(::IsWindowVisible(d.Hwnd())) << "Escape did not close the dialog";
            EXPECT_EQ(d.FindById(L"hk")->GetIntValue(), VK_ESCAPE);
            post(d.Window(L"hk"), VK_TAB, 0x0F);
        },
        [](wyn_test::ScriptedDialog& d) {
            EXPECT_EQ(::GetFocus(), d.Window(L"hk")) << "Tab did not move the focus";
            EXPECT_EQ(d.FindById(L"hk")->GetIntValue(), VK_TAB);
            EXPECT_TRUE(d.reasons.empty());
            ::EndDialog(d.Hwnd(), IDCANCEL);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
