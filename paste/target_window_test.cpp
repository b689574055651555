// The rules of the paste target that the test program's own windows can show;
// the tracking among other programs' windows is tested with the application.

#include "paste/target_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/win_handles.h"
#include "base/window_binding.h"
#include "paste/activate_window.h"

namespace kelvo {
namespace {

constexpr wchar_t kIconClass[] = L"KelvoTestIconClass";
constexpr wchar_t kPlainClass[] = L"KelvoTestPlainClass";

HICON ClassIcon() {
    return ::LoadIconW(nullptr, IDI_APPLICATION);
}

void RegisterClasses() {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW with_icon = ClassDescription(module, kIconClass, &::DefWindowProcW);
    with_icon.hIcon = ClassIcon();
    ASSERT_TRUE(RegisterWindowClass(with_icon));
    ASSERT_TRUE(RegisterWindowClass(ClassDescription(module, kPlainClass, &::DefWindowProcW)));
}

UniqueHwnd Window(const wchar_t* window_class, HWND owner = nullptr, DWORD style = WS_POPUP) {
    return UniqueHwnd(::CreateWindowExW(0, window_class, L"test window", style, 0, 0, 100, 100,
                                        owner, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

TEST(TargetWindow, IconIsTheWindowsElseItsClassesElseUpTheOwnerChain) {
    RegisterClasses();
    UniqueHwnd top = Window(kIconClass);
    UniqueHwnd middle = Window(kPlainClass, top.Get());
    UniqueHwnd bottom = Window(kPlainClass, middle.Get());
    UniqueHwnd alone = Window(kPlainClass);
    EXPECT_EQ(WindowIcon(bottom.Get()), ClassIcon()) << "the class icon two owners up";
    EXPECT_EQ(WindowIcon(alone.Get()), nullptr);
    EXPECT_EQ(WindowIcon(nullptr), nullptr);

    const HICON big = ::LoadIconW(nullptr, IDI_WARNING);
    ::SendMessageW(middle.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    EXPECT_EQ(WindowIcon(bottom.Get()), big) << "the owner's own icon comes first";
    EXPECT_EQ(DescribeTarget(bottom.Get()), (TargetWindow{bottom.Get(), L"test window", big}));
}

TEST(TargetWindow, AProgramThatDoesNotAnswerCountsAsHavingNoIcon) {
    RegisterClasses();
    UniqueHandle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle wake(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<HWND> hung{nullptr};
    std::atomic<bool> woke{false};
    std::thread thread([&] {
        UniqueHwnd window = Window(kPlainClass);
        hung = window.Get();
        ::SetEvent(created.Get());
        // Hangs: handles no message until woken (or, should the icon request
        // wait for it, after ten seconds).
        ::WaitForSingleObject(wake.Get(), 10000);
        woke = true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    });
    ::WaitForSingleObject(created.Get(), 5000);
    EXPECT_EQ(WindowIcon(hung), nullptr);
    EXPECT_FALSE(woke) << "the icon request waited for the hung window";
    ::SetEvent(wake.Get());
    thread.join();
}

TEST(TargetWindow, WindowsOfThisProgramAreNeverTargets) {
    RegisterClasses();
    UniqueHwnd own = Window(kIconClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::SetForegroundWindow(own.Get());
    ASSERT_EQ(::GetForegroundWindow(), own.Get());
    EXPECT_EQ(ForegroundCandidate(nullptr, nullptr), nullptr);
    EXPECT_FALSE(IsCandidateTarget(own.Get(), nullptr));
}

TEST(TargetWindow, ActivationRestoresAMinimisedWindowAndBringsItToFront) {
    RegisterClasses();
    UniqueHwnd other = Window(kIconClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    UniqueHwnd window = Window(kIconClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::ShowWindow(window.Get(), SW_MINIMIZE);
    ::SetForegroundWindow(other.Get());
    ASSERT_TRUE(::IsIconic(window.Get()));

    EXPECT_TRUE(ActivateWindow(window.Get()));
    EXPECT_FALSE(::IsIconic(window.Get()));
    EXPECT_EQ(::GetForegroundWindow(), window.Get());

    HWND gone = window.Get();
    window.Reset();
    EXPECT_FALSE(ActivateWindow(gone));
}

} // namespace
} // namespace kelvo
