#include "ui/saved_placement.h"

#include <gtest/gtest.h>

#include "base/win_handles.h"

namespace {

bool Same(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != FALSE;
}

} // namespace

// A saved place is in workspace coordinates; where the work area does not
// start at the monitor's corner, the window lands off it by the taskbar.
TEST(WorkspaceToScreen, OffsetsByTheWorkAreasCornerOnItsMonitor) {
    const struct {
        const char* name;
        RECT work;
        RECT monitor;
        RECT rect;
        RECT screen;
    } cases[] = {
        {"taskbar at the bottom",
         {0, 0, 1920, 1040},
         {0, 0, 1920, 1080},
         {100, 50, 500, 350},
         {100, 50, 500, 350}},
        {"taskbar at the top",
         {0, 40, 1920, 1080},
         {0, 0, 1920, 1080},
         {100, 50, 500, 350},
         {100, 90, 500, 390}},
        {"taskbar at the left",
         {60, 0, 1920, 1080},
         {0, 0, 1920, 1080},
         {100, 50, 500, 350},
         {160, 50, 560, 350}},
        {"a monitor left of the main one, taskbar at its top",
         {-1280, 30, 0, 1024},
         {-1280, 0, 0, 1024},
         {-1180, 50, -780, 350},
         {-1180, 80, -780, 380}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Same(WorkspaceToScreen(c.rect, c.work, c.monitor), c.screen));
    }
}

TEST(ApplyPlacement, APlaceOnNoMonitorLeavesTheWindowWhereItIs) {
    kelvo::UniqueHwnd window(::CreateWindowExW(0, L"STATIC", L"placed", WS_OVERLAPPEDWINDOW, 200,
                                               150, 300, 200, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    const auto normal = [&] {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ::GetWindowPlacement(window.Get(), &placement);
        return placement.rcNormalPosition;
    };
    const RECT before = normal();
    ApplyPlacement(window.Get(), {POINT{-30000, -30000}, SIZE{320, 240}});
    EXPECT_EQ(normal().left, before.left);
    EXPECT_EQ(normal().top, before.top);
    EXPECT_EQ(normal().right - normal().left, 320) << "the size is taken";
    ApplyPlacement(window.Get(), {POINT{40, 30}, std::nullopt});
    EXPECT_EQ(normal().left, 40);
    EXPECT_EQ(normal().top, 30);
}
