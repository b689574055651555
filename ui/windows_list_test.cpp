#include "ui/windows_list.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "ui/drawn_test.h"

namespace kelvo {
namespace {

constexpr wchar_t kClass[] = L"KelvoChooserTestWindow";
// The shell's window classes, made in the test's own process.
constexpr const wchar_t* kShellClasses[] = {L"Progman", L"WorkerW", L"Shell_TrayWnd",
                                            L"Shell_SecondaryTrayWnd"};

ATOM RegisterClasses() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    for (const wchar_t* shell : kShellClasses) {
        wc.lpszClassName = shell;
        ::RegisterClassExW(&wc);
    }
    wc.lpszClassName = kClass;
    return ::RegisterClassExW(&wc);
}

UniqueHwnd MakeWindow(const wchar_t* title, DWORD ex_style = 0, DWORD style = WS_VISIBLE,
                      HWND owner = nullptr, const wchar_t* window_class = kClass) {
    static const ATOM registered = RegisterClasses();
    (void)registered;
    return UniqueHwnd(::CreateWindowExW(ex_style, window_class, title, WS_POPUP | style, 0, 0, 50,
                                        50, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

std::vector<std::wstring> Titles(const std::vector<TargetWindow>& windows) {
    std::vector<std::wstring> titles;
    for (const auto& window : windows)
        if (window.title.starts_with(L"chooser "))
            titles.push_back(window.title);
    return titles;
}

TEST(ChoosableWindows, OnlyWindowsAPasteMayGoIntoAppear) {
    const UniqueHwnd main_window = MakeWindow(L"chooser main");
    const UniqueHwnd plain = MakeWindow(L"chooser plain");
    const UniqueHwnd owned = MakeWindow(L"chooser owned", 0, WS_VISIBLE, plain.Get());
    const UniqueHwnd tool = MakeWindow(L"chooser tool", WS_EX_TOOLWINDOW);
    const UniqueHwnd hidden = MakeWindow(L"chooser hidden", 0, 0);
    const UniqueHwnd zero_size = MakeWindow(L"chooser zero size");
    ::SetWindowPos(zero_size.Get(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    // An icon in the notification area: under Wine the area is a window of
    // its own, a part of the shell too. Added before the test's own shell
    // windows, which the icon would be sent to.
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hidden.Get();
    icon.uFlags = NIF_ICON;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_ADD, &icon));
    std::vector<UniqueHwnd> shell;
    for (const wchar_t* shell_class : kShellClasses)
        shell.push_back(MakeWindow(L"chooser shell", 0, WS_VISIBLE, nullptr, shell_class));
    // Cloaking is for the system's own windows: a test cannot make one.
    const auto windows = ChoosableWindows(main_window.Get());
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    EXPECT_EQ(Titles(windows), std::vector<std::wstring>{L"chooser plain"});
    for (const auto& window : windows)
        EXPECT_NE(window.title, L"Wine System Tray");
    for (const auto& window : windows) {
        if (window.window == plain.Get()) {
            EXPECT_NE(window.icon, nullptr) << "the class icon";
        }
    }
}

// A chooser over a row of paste buttons at the bottom of the screen.
class WindowsListTest : public ::testing::Test {
protected:
    void Open(int count) {
        for (int i = 0; i < count; ++i)
            m_windows.push_back(MakeWindow((L"chooser " + std::to_wstring(i)).c_str()));
        std::vector<TargetWindow> items;
        for (const auto& window : m_windows)
            items.push_back(DescribeTarget(window.Get()));
        m_list =
            std::make_unique<CWindowsList>(std::move(items), [this](const TargetWindow& chosen) {
                m_chosen.push_back(chosen.window);
            });
        ASSERT_TRUE(m_list->Open(m_owner.Get(), m_paste, m_pasteTo));
        ::SetFocus(m_list->Hwnd());
    }
    void Key(UINT key) { ::SendMessageW(m_list->Hwnd(), WM_KEYDOWN, key, 1); }
    void ClickAt(int x, int y) {
        ::SendMessageW(m_list->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    }

    UniqueHwnd m_owner = MakeWindow(L"chooser owner");
    RECT m_paste{100, 600, 260, 644};
    RECT m_pasteTo{260, 600, 282, 644};
    std::vector<UniqueHwnd> m_windows;
    std::vector<HWND> m_chosen;
    std::unique_ptr<CWindowsList> m_list;
};

TEST_F(WindowsListTest, TwentyFiveWindowsShowTenRowsAboveTheButtonsWithAScrollBar) {
    Open(25);
    RECT rect{};
    ::GetWindowRect(m_list->Hwnd(), &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 282);
    EXPECT_EQ(rect.bottom, 600);
    RECT client{};
    ::GetClientRect(m_list->Hwnd(), &client);
    EXPECT_EQ(client.bottom, 400) << "ten rows whole";
    EXPECT_TRUE(::GetWindowLongW(m_list->Hwnd(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(
        ::SendMessageW(m_list->Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(rect.left, rect.top + 100)),
        HTBORDER)
        << "the frame cannot be dragged";
    EXPECT_TRUE(ui_test::SaveShot(m_list->Hwnd(), L"window-chooser"));

    Key(VK_DOWN); // the first row
    const int first = m_list->CurrentIndex();
    Key(VK_NEXT);
    EXPECT_GT(m_list->CurrentIndex(), first + 5) << "a page";
    const RECT current = m_list->ItemRect(m_list->CurrentIndex());
    EXPECT_GE(current.top, 0);
    EXPECT_LE(current.bottom, m_list->PageHeight()) << "in view";

    // Screen readers see the rows by the windows' titles.
    const auto object = ui_test::AccessibleOf(m_list->Hwnd());
    ASSERT_TRUE(object);
    EXPECT_EQ(ui_test::AccName(*object.Get(), 1), L"chooser 0");
}

TEST_F(WindowsListTest, EnterChoosesTheCurrentRowAndCloses) {
    Open(3);
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(m_chosen, std::vector<HWND>{m_windows[1].Get()});
    EXPECT_FALSE(m_list->IsOpen());
}

TEST_F(WindowsListTest, AClickOnARowChoosesItAndAClickOutsideEveryRowOnlyCloses) {
    Open(3);
    ClickAt(20, 40 + 20);
    EXPECT_EQ(m_chosen, std::vector<HWND>{m_windows[1].Get()});
    EXPECT_FALSE(m_list->IsOpen());

    m_windows.clear();
    m_chosen.clear();
    Open(0); // nothing to choose: an empty popup
    RECT rect{};
    ::GetClientRect(m_list->Hwnd(), &rect);
    EXPECT_EQ(rect.bottom, 0);
    ClickAt(5, 5);
    EXPECT_TRUE(m_chosen.empty());
    EXPECT_FALSE(m_list->IsOpen());

    m_windows.clear();
    Open(3); // three rows fit without a scroll bar
    ::GetClientRect(m_list->Hwnd(), &rect);
    EXPECT_EQ(rect.bottom, 120);
    EXPECT_FALSE(::GetWindowLongW(m_list->Hwnd(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(WindowsListTest, LosingTheFocusClosesItOnceAndTheObjectStaysItsOwners) {
    Open(3);
    ASSERT_EQ(::GetFocus(), m_list->Hwnd());
    HWND window = m_list->Hwnd();
    ::SetFocus(m_owner.Get());
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(m_list->IsOpen());
    m_list->Close(); // again: nothing

    // Closed while it has the focus: its destruction takes the focus away,
    // which must not close it a second time.
    Open(3);
    window = m_list->Hwnd();
    m_list->Close();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_TRUE(m_chosen.empty());

    // Its owner destroyed while it has the focus: destroyed once, with it.
    Open(3);
    window = m_list->Hwnd();
    static int s_destroys = 0;
    s_destroys = 0;
    const HHOOK hook = ::SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            (void)wParam;
            s_destroys += code == HCBT_DESTROYWND;
            return ::CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, ::GetCurrentThreadId());
    m_owner.Reset();
    ::UnhookWindowsHookEx(hook);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(s_destroys, 2) << "the owner and the chooser, once each";
    EXPECT_FALSE(m_list->IsOpen());
    m_list.reset();
}

} // namespace
} // namespace kelvo
