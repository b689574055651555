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

unique_hwnd Window(const wchar_t* window_class, HWND owner = nullptr, DWORD style = WS_POPUP) {
    return unique_hwnd(::CreateWindowExW(0, window_class, L"test window", style, 0, 0, 100, 100,
                                         owner, nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

TEST(TargetWindow, IconIsTheWindowsElseItsClassesElseUpTheOwnerChain) {
    RegisterClasses();
    unique_hwnd top = Window(kIconClass);
    unique_hwnd middle = Window(kPlainClass, top.get());
    unique_hwnd bottom = Window(kPlainClass, middle.get());
    unique_hwnd alone = Window(kPlainClass);
    EXPECT_EQ(WindowIcon(bottom.get()), ClassIcon()) << "the class icon two owners up";
    EXPECT_EQ(WindowIcon(alone.get()), nullptr);
    EXPECT_EQ(WindowIcon(nullptr), nullptr);

    const HICON big = ::LoadIconW(nullptr, IDI_WARNING);
    ::SendMessageW(middle.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    EXPECT_EQ(WindowIcon(bottom.get()), big) << "the owner's own icon comes first";
    EXPECT_EQ(DescribeTarget(bottom.get()), (TargetWindow{bottom.get(), L"test window", big}));
}

TEST(TargetWindow, AProgramThatDoesNotAnswerCountsAsHavingNoIcon) {
    RegisterClasses();
    unique_handle created(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    unique_handle wake(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<HWND> hung{nullptr};
    std::atomic<bool> woke{false};
    std::thread thread([&] {
        unique_hwnd window = Window(kPlainClass);
        hung = window.get();
        ::SetEvent(created.get());
        // Hangs: handles no message until woken (or, should the icon request
        // wait for it, after ten seconds).
        ::WaitForSingleObject(wake.get(), 10000);
        woke = true;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    });
    ::WaitForSingleObject(created.get(), 5000);
    EXPECT_EQ(WindowIcon(hung), nullptr);
    EXPECT_FALSE(woke) << "the icon request waited for the hung window";
    ::SetEvent(wake.get());
    thread.join();
}

TEST(TargetWindow, WindowsOfThisProgramAreNeverTargets) {
    RegisterClasses();
    unique_hwnd own = Window(kIconClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::SetForegroundWindow(own.get());
    ASSERT_EQ(::GetForegroundWindow(), own.get());
    EXPECT_EQ(ForegroundCandidate(nullptr, nullptr), nullptr);
    EXPECT_FALSE(IsCandidateTarget(own.get(), nullptr));
}

TEST(TargetWindow, ActivationRestoresAMinimisedWindowAndBringsItToFront) {
    RegisterClasses();
    unique_hwnd other = Window(kIconClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    unique_hwnd window = Window(kIconClass, nullptr, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ::ShowWindow(window.get(), SW_MINIMIZE);
    ::SetForegroundWindow(other.get());
    ASSERT_TRUE(::IsIconic(window.get()));

    EXPECT_TRUE(ActivateWindow(window.get()));
    EXPECT_FALSE(::IsIconic(window.get()));
    EXPECT_EQ(::GetForegroundWindow(), window.get());

    HWND gone = window.get();
    window.reset();
    EXPECT_FALSE(ActivateWindow(gone));
}

} // namespace
} // namespace kelvo
