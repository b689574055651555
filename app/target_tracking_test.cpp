// The paste target kept by the application object's tracking timer, among
// the windows of the paste target program running as processes of their own.
// Their icons are not checked here: Wine 8 answers WM_GETICON and GCLP_HICON
// for another process's window with null. The icon rule is tested with the
// test program's own windows (paste/target_window_test.cpp).

#include <gtest/gtest.h>

#include "app/main_wnd.h"
#include "app/stand_in_main_window_test.h"
#include "library/portable_data_test.h"
#include "tests/e2e/target_process.h"

using test_target::BringToFront;
using test_target::CTargetProcess;

namespace {

class TargetTrackingTest : public PortableDataTest {
protected:
    void SetUp() override {
        PortableDataTest::SetUp();
        WriteSettings("<kelvo><settings show-onstart=\"0\"/></kelvo>");
        ASSERT_TRUE(m_app.CreateHiddenWindow());
        ASSERT_TRUE(m_host.Create());
        m_app.SetMainWindow(&m_host);
        // The tests tick it themselves.
        ASSERT_TRUE(::KillTimer(m_app.Hwnd(), CMainWnd::kTrackingTimer)) << "no tracking timer";
    }
    void TearDown() override {
        m_app.SetMainWindow(nullptr);
        PortableDataTest::TearDown();
    }
    // One tick of the tracking timer.
    void Tick() { ::SendMessageW(m_app.Hwnd(), WM_TIMER, CMainWnd::kTrackingTimer, 0); }

    CMainWnd m_app{::GetModuleHandleW(nullptr)};
    CStandInMainWindow m_host;
};

void Raise(HWND window) {
    ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

} // namespace

TEST(TargetTracking, TheFirstTargetIsTheForegroundWindowAtConstruction) {
    CTargetProcess first(L"first target");
    ASSERT_TRUE(BringToFront(first.Window()));
    CMainWnd app(::GetModuleHandleW(nullptr));
    EXPECT_EQ(app.PasteTarget().window, first.Window());
    EXPECT_EQ(app.PasteTarget().title, L"first target");
}

TEST_F(TargetTrackingTest, OurWindowsAndToolWindowsInFrontLeaveTheTargetOnTheLastProgram) {
    CTargetProcess first(L"first program");
    CTargetProcess second(L"second program");
    ASSERT_TRUE(BringToFront(first.Window()));
    Tick();
    EXPECT_EQ(m_app.PasteTarget().window, first.Window());
    EXPECT_EQ(m_app.PasteTarget().title, L"first program");
    EXPECT_EQ(m_host.TargetChanges(), 1) << "the paste button shows the new target";

    for (HWND front : {m_host.Window(), second.Tools()}) {
        ASSERT_TRUE(BringToFront(front));
        Tick();
        EXPECT_EQ(m_app.PasteTarget().window, first.Window());
    }
    EXPECT_EQ(m_host.TargetChanges(), 1) << "repainted although nothing changed";

    ASSERT_TRUE(BringToFront(second.Window()));
    Tick();
    EXPECT_EQ(m_app.PasteTarget().window, second.Window());
    EXPECT_EQ(m_app.PasteTarget().title, L"second program");
    EXPECT_EQ(m_host.TargetChanges(), 2);
}

TEST_F(TargetTrackingTest, ATargetClosedWhileOursIsInFrontGivesWayToTheNearestCandidateAbove) {
    CTargetProcess above(L"program above");
    CTargetProcess closing(L"program closing");
    ASSERT_TRUE(BringToFront(closing.Window()));
    Tick();
    ASSERT_EQ(m_app.PasteTarget().window, closing.Window());

    // In the z-order: "program above", its tool window, our main window.
    ASSERT_TRUE(BringToFront(m_host.Window()));
    Raise(m_host.Window());
    Raise(above.Tools());
    Raise(above.Window());
    ASSERT_EQ(::GetWindow(m_host.Window(), GW_HWNDPREV), above.Tools());
    ASSERT_EQ(::GetForegroundWindow(), m_host.Window());

    closing.Close();
    const int changes = m_host.TargetChanges();
    Tick();
    EXPECT_EQ(m_app.PasteTarget().window, above.Window());
    EXPECT_EQ(m_app.PasteTarget().title, L"program above") << "the closed window's title stayed";
    EXPECT_EQ(m_host.TargetChanges(), changes + 1);
}
