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
                       int frameCount, int frameIndex, bool sideBySide) override {
        EXPECT_EQ(frameCount, 3);
        EXPECT_FALSE(sideBySide);
        drawn.push_back({image, {x, y, x + width, y + height}, frameIndex});
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
        ASSERT_TRUE(root.Parse(node.get()));
        root.Create();
        const SIZE natural = root.Measure();
        root.Arrange(0, 0, natural.cx, natural.cy);
        hotkey = dynamic_cast<CWynHotkey*>(root.FindById(L"hk"));
        ASSERT_NE(hotkey, nullptr);
        ASSERT_NE(hotkey->hwnd(), nullptr);
    }

    // A key message as the keyboard sends it: the scan code in bits 16-23,
    // bit 24 for extended keys, bits 30 and 31 for a release.
    void Key(UINT message, UINT scan, bool extended = false) {
        LPARAM lParam = 1 | static_cast<LPARAM>(scan) << 16;
        if (extended)
            lParam |= 1 << 24;
        if (message == WM_KEYUP || message == WM_SYSKEYUP)
            lParam |= static_cast<LPARAM>(3) << 30;
        ::SendMessageW(hotkey->hwnd(), message, 0, lParam);
    }

    void Mouse(UINT message, int x, int y) {
        ::SendMessageW(hotkey->hwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                       MAKELPARAM(x, y));
    }

    RECT Client() const {
        RECT client{};
        ::GetClientRect(hotkey->hwnd(), &client);
        return client;
    }

    RecordingEngine engine;
    TestRoot root{&engine};
    CWynHotkey* hotkey = nullptr;
};

TEST_F(WynHotkeyTest, KeysBuildTheValueAndItsText) {
    Key(WM_KEYDOWN, kScanCtrl);
    Key(WM_KEYDOWN, kScanShift);
    Key(WM_KEYDOWN, kScanF5);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0374);
    EXPECT_EQ(hotkey->text(), L"Ctrl + Shift + F5");
    EXPECT_EQ(root.last.source, hotkey);
    EXPECT_EQ(root.last.name, L"changed");
    Key(WM_KEYUP, kScanF5);
    Key(WM_KEYUP, kScanShift);
    Key(WM_KEYUP, kScanCtrl);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0374) << "releasing the keys keeps a complete hotkey";

    Key(WM_KEYDOWN, kScanShift);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0100) << "a modifier after a complete hotkey starts anew";
    EXPECT_EQ(hotkey->text(), L"Shift + ");
    Key(WM_KEYUP, kScanShift);

    Key(WM_KEYDOWN, kScanCtrl);
    Key(WM_KEYDOWN, kScanA);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0241);
    EXPECT_EQ(hotkey->text(), L"Ctrl + A");
    EXPECT_EQ(::SendMessageW(hotkey->hwnd(), WM_USER + 2, 0, 0), 0x0241) << "HKM_GETHOTKEY";
}

TEST_F(WynHotkeyTest, AltAloneLeavesNone) {
    Key(WM_SYSKEYDOWN, kScanAlt);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0400);
    EXPECT_EQ(hotkey->text(), L"Alt + ");
    Key(WM_SYSKEYUP, kScanAlt);
    EXPECT_EQ(hotkey->GetIntValue(), 0);
    EXPECT_EQ(hotkey->text(), L"None");
}

TEST_F(WynHotkeyTest, SettingTheValueShowsItWithoutAnEvent) {
    ::SendMessageW(hotkey->hwnd(), WM_USER + 1, 0x0656, 0); // HKM_SETHOTKEY: Ctrl+Alt+V
    EXPECT_EQ(hotkey->GetIntValue(), 0x0656);
    EXPECT_EQ(hotkey->text(), L"Ctrl + Alt + V");
    hotkey->SetIntValue(0x0A25); // Ctrl and the extended Left arrow
    EXPECT_EQ(hotkey->text().rfind(L"Ctrl + ", 0), 0u);
    EXPECT_GT(hotkey->text().size(), 7u) << "the key has a name";
    EXPECT_TRUE(root.last.name.empty());
    EXPECT_EQ(::SendMessageW(hotkey->hwnd(), WM_GETDLGCODE, 0, 0),
              DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS);
}

TEST_F(WynHotkeyTest, ClearSquareClearsOnlyWhenReleasedInside) {
    const RECT client = Client();
    const int side = client.bottom;
    const int insideX = client.right - side / 2, y = side / 2;

    hotkey->SetIntValue(0x0241);
    Mouse(WM_LBUTTONDOWN, insideX, y);
    Mouse(WM_LBUTTONUP, 5, y);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0241) << "released outside the square";
    EXPECT_TRUE(root.last.name.empty());

    Mouse(WM_LBUTTONDOWN, 5, y);
    Mouse(WM_LBUTTONUP, insideX, y);
    EXPECT_EQ(hotkey->GetIntValue(), 0x0241) << "pressed outside the square";
    EXPECT_TRUE(root.last.name.empty());

    Mouse(WM_LBUTTONDOWN, insideX, y);
    Mouse(WM_LBUTTONUP, insideX, y);
    EXPECT_EQ(hotkey->GetIntValue(), 0);
    EXPECT_EQ(hotkey->text(), L"None");
    EXPECT_EQ(root.last.source, hotkey);
    EXPECT_EQ(root.last.name, L"changed");
}

TEST_F(WynHotkeyTest, SquareIsDrawnWithTheFrameOfItsState) {
    ::ShowWindow(root.dialog(), SW_SHOWNOACTIVATE);
    const RECT client = Client();
    const int side = client.bottom;
    const RECT square{client.right - side, 0, client.right, side};
    const auto paintedFrame = [&] {
        engine.drawn.clear();
        ::RedrawWindow(hotkey->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        int frame = -2;
        bool icon = false;
        for (const auto& d : engine.drawn) {
            EXPECT_TRUE(::EqualRect(&d.rect, &square)) << "drawn over the clear square";
            if (d.image == L"delhkbg.png")
                frame = d.frame;
            icon = icon || (d.image == L"delhkicon.png" && d.frame == -1);
        }
        EXPECT_TRUE(icon) << "the icon is drawn over the skin";
        return frame;
    };
    EXPECT_EQ(paintedFrame(), 0);
    Mouse(WM_MOUSEMOVE, client.right - side / 2, side / 2);
    EXPECT_EQ(paintedFrame(), 1) << "hover";
    Mouse(WM_LBUTTONDOWN, client.right - side / 2, side / 2);
    EXPECT_EQ(paintedFrame(), 2) << "pressed";
    Mouse(WM_MOUSEMOVE, 5, side / 2);
    EXPECT_EQ(paintedFrame(), 0) << "pressed, moved away";
    Mouse(WM_LBUTTONUP, 5, side / 2);
}

TEST(WynHotkeyInDialogTest, EscapeAndTabBecomePartOfTheHotkey) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    wyn_test::DescriptionFile file(LR"(<dialog>
        <hotkey id="hk"/>
        <button id="ok" label="OK" dlgType="accept"/>
    </dialog>)");
    wyn_test::ScriptedDialog dialog(file.path(), &engine);
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
            EXPECT_TRUE(::IsWindowVisible(d.hwnd())) << "Escape did not close the dialog";
            EXPECT_EQ(d.FindById(L"hk")->GetIntValue(), VK_ESCAPE);
            post(d.Window(L"hk"), VK_TAB, 0x0F);
        },
        [](wyn_test::ScriptedDialog& d) {
            EXPECT_EQ(::GetFocus(), d.Window(L"hk")) << "Tab did not move the focus";
            EXPECT_EQ(d.FindById(L"hk")->GetIntValue(), VK_TAB);
            EXPECT_TRUE(d.reasons.empty());
            ::EndDialog(d.hwnd(), IDCANCEL);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
