#include "base/vt_wnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Records every message its WindowProc sees, and its handle at WM_CREATE.
class RecordingWnd : public CVtWnd {
public:
    RecordingWnd() { SetClassName(L"KV_TEST_RECORDING"); }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
        seen.push_back(msg);
        if (msg == WM_CREATE)
            handle_at_create = this->Hwnd();
        return CVtWnd::WindowProc(hwnd, msg, wp, lp);
    }
    std::vector<UINT> seen;
    HWND handle_at_create = nullptr;
};

bool Saw(const std::vector<UINT>& seen, UINT msg) {
    return std::find(seen.begin(), seen.end(), msg) != seen.end();
}

} // namespace

TEST(CVtWnd, BindsFromCreateToDestroyOnly) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RecordingWnd wnd;
    wnd.RegisterWindowClass(instance);
    wnd.RegisterWindowClass(instance); // a second registration is harmless

    HWND hwnd =
        wnd.Create(instance, 0, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_FALSE(wnd.seen.empty());
    // Creation messages before WM_CREATE went to the default procedure.
    EXPECT_EQ(wnd.seen.front(), static_cast<UINT>(WM_CREATE));
    EXPECT_FALSE(Saw(wnd.seen, WM_NCCREATE));
    EXPECT_EQ(wnd.handle_at_create, hwnd);
    EXPECT_EQ(wnd.Hwnd(), hwnd);

    ::SendMessageW(hwnd, WM_USER + 7, 0, 0);
    EXPECT_EQ(wnd.seen.back(), static_cast<UINT>(WM_USER + 7));

    ASSERT_TRUE(::DestroyWindow(hwnd));
    EXPECT_EQ(wnd.Hwnd(), nullptr);
    EXPECT_EQ(wnd.seen.back(), static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(Saw(wnd.seen, WM_NCDESTROY));
}

TEST(CVtWnd, DestructorDestroysALiveWindow) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HWND hwnd;
    {
        RecordingWnd wnd;
        wnd.RegisterWindowClass(instance);
        hwnd =
            wnd.Create(instance, 0, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr);
        ASSERT_TRUE(::IsWindow(hwnd));
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(CVtWnd, LongClassNamesAreCut) {
    class LongName : public CVtWnd {
    public:
        LongName() { SetClassName(std::wstring(300, L'x')); }
    } wnd;
    EXPECT_EQ(wnd.ClassName().size(), 255u);
}
