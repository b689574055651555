#include "base/window_binding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace kelvo {
namespace {

constexpr wchar_t kClassName[] = L"KV_TEST_BOUND";
constexpr wchar_t kProperty[] = L"KV_TEST_BOUND_this";

// What a bound object heard, kept apart from it so that it can be read after
// the object has gone.
struct Log {
    std::vector<UINT> seen;
    HWND handleAtCreate = nullptr;
    HWND ownerAtCreate = nullptr;

    bool Saw(UINT message) const {
        return std::find(seen.begin(), seen.end(), message) != seen.end();
    }
};

class CBound {
public:
    explicit CBound(Log& log, UINT throw_on = 0) : m_log(log), m_throwOn(throw_on) {
        RegisterWindowClass(ClassDescription(
            ::GetModuleHandleW(nullptr), kClassName,
            &OwnWindowProc<kProperty, &CBound::WindowProc, &CBound::m_hWnd, &CBound::m_window>));
    }

    HWND Create() {
        return ::CreateWindowExW(0, kClassName, L"title", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                 nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    }

    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        m_log.seen.push_back(message);
        if (message == WM_CREATE) {
            m_log.handleAtCreate = m_hWnd;
            m_log.ownerAtCreate = m_window.Get();
        }
        if (message == m_throwOn)
            throw std::bad_alloc();
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    Log& m_log;
    UINT m_throwOn;
    HWND m_hWnd = nullptr;
    COwnWindow m_window;
};

TEST(OwnWindowProc, BindsFromCreateToDestroy) {
    Log log;
    CBound bound(log);
    HWND window = bound.Create();
    ASSERT_NE(window, nullptr);
    // WM_NCCREATE went to the default procedure, which took the title.
    wchar_t title[16] = {};
    ::GetWindowTextW(window, title, 16);
    EXPECT_STREQ(title, L"title");
    ASSERT_FALSE(log.seen.empty());
    EXPECT_EQ(log.seen.front(), static_cast<UINT>(WM_CREATE));
    EXPECT_EQ(log.handleAtCreate, window) << "the object holds its handle in WM_CREATE";
    EXPECT_EQ(log.ownerAtCreate, window);

    ::SendMessageW(window, WM_USER + 7, 0, 0);
    EXPECT_EQ(log.seen.back(), static_cast<UINT>(WM_USER + 7));

    ASSERT_TRUE(::DestroyWindow(window));
    EXPECT_EQ(log.seen.back(), static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(log.Saw(WM_NCDESTROY)) << "nothing after WM_DESTROY";
    EXPECT_EQ(bound.m_hWnd, nullptr);
    EXPECT_FALSE(bound.m_window);
}

TEST(OwnWindowProc, AThrowInCreateFailsTheCreation) {
    Log log;
    CBound bound(log, WM_CREATE);
    EXPECT_EQ(bound.Create(), nullptr);
    EXPECT_EQ(bound.m_hWnd, nullptr);
    EXPECT_FALSE(bound.m_window);
    EXPECT_EQ(log.seen, std::vector<UINT>{WM_CREATE}) << "the failed window went unbound";
}

TEST(OwnWindowProc, AThrowElsewhereGetsTheDefaultAnswer) {
    Log log;
    CBound bound(log, WM_GETTEXTLENGTH);
    HWND window = bound.Create();
    ASSERT_NE(window, nullptr);
    // The default procedure answers with the title's length.
    EXPECT_EQ(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0), 5);
    ::SendMessageW(window, WM_USER + 1, 0, 0);
    EXPECT_EQ(log.seen.back(), static_cast<UINT>(WM_USER + 1)) << "still bound";
}

TEST(OwnWindowProc, AThrowInDestroyStillUnbinds) {
    Log log;
    CBound bound(log, WM_DESTROY);
    HWND window = bound.Create();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(::DestroyWindow(window));
    EXPECT_EQ(bound.m_hWnd, nullptr);
    EXPECT_FALSE(bound.m_window);
    EXPECT_FALSE(log.Saw(WM_NCDESTROY));
}

TEST(COwnWindow, TheOwnerDestroysAWindowThatOutlivesItsObject) {
    Log log;
    HWND window = nullptr;
    {
        CBound bound(log);
        window = bound.Create();
        ASSERT_TRUE(::IsWindow(window));
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(log.Saw(WM_DESTROY)) << "an object being destroyed hears nothing more";

    // Reset lets it go the same way while the object lives.
    CBound bound(log);
    window = bound.Create();
    bound.m_window.Reset();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(log.Saw(WM_DESTROY));

    // Moved, the window goes with the last owner.
    window = bound.Create();
    {
        COwnWindow moved = std::move(bound.m_window);
        EXPECT_FALSE(bound.m_window);
        EXPECT_EQ(moved.Get(), window);
    }
    EXPECT_FALSE(::IsWindow(window));
}

LRESULT CALLBACK OtherProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST(RegisterWindowClass, AClassIsRegisteredOnce) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    constexpr wchar_t kName[] = L"KV_TEST_ONCE";
    ASSERT_TRUE(
        RegisterWindowClass(ClassDescription(module, kName, &::DefWindowProcW, CS_HREDRAW)));
    EXPECT_TRUE(RegisterWindowClass(ClassDescription(module, kName, &OtherProcedure, CS_VREDRAW)));
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof(registered);
    ASSERT_TRUE(::GetClassInfoExW(module, kName, &registered));
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_HREDRAW)) << "the first registration stands";
    EXPECT_TRUE(::UnregisterClassW(kName, module));
    EXPECT_FALSE(::UnregisterClassW(kName, module)) << "there was only one";
}

// A dialog from an in-memory template with no controls.
class CDialogObject {
public:
    explicit CDialogObject(UINT throw_on = 0) : m_throwOn(throw_on) {
        DLGTEMPLATE dialog{};
        dialog.style = WS_POPUP | WS_CAPTION;
        dialog.cx = 100;
        dialog.cy = 50;
        // No menu, the default class and an empty title follow the header.
        std::memcpy(m_template.data(), &dialog, sizeof(dialog));
    }

    HWND Create() {
        return ::CreateDialogIndirectParamW(
            ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(m_template.data()),
            nullptr, &OwnDialogProc<&CDialogObject::DialogProc, &CDialogObject::m_hWnd>,
            reinterpret_cast<LPARAM>(this));
    }

    INT_PTR DialogProc(HWND window, UINT message, WPARAM, LPARAM) {
        seen.push_back(message);
        if (message == WM_INITDIALOG)
            handleAtInit = m_hWnd;
        if (message != WM_USER + 2)
            return FALSE;
        // Handled, with an answer; a throw leaves it unhandled.
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, 42);
        if (message == m_throwOn)
            throw std::bad_alloc();
        return TRUE;
    }

    std::vector<UINT> seen;
    HWND handleAtInit = nullptr;
    HWND m_hWnd = nullptr;

private:
    alignas(DWORD) std::array<WORD, 32> m_template{};
    UINT m_throwOn;
};

TEST(OwnDialogProc, BindsFromInitDialogToDestroy) {
    CDialogObject object;
    HWND dialog = object.Create();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(object.seen.empty());
    EXPECT_EQ(object.seen.front(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(object.handleAtInit, dialog);
    EXPECT_EQ(::SendMessageW(dialog, WM_USER + 2, 0, 0), 42);
    ASSERT_TRUE(::DestroyWindow(dialog));
    EXPECT_EQ(object.seen.back(), static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(object.m_hWnd, nullptr);
}

TEST(OwnDialogProc, AThrowAnswersFalse) {
    CDialogObject object(WM_USER + 2);
    HWND dialog = object.Create();
    ASSERT_NE(dialog, nullptr);
    // Not handled: the default answer, not the one set before the throw.
    EXPECT_EQ(::SendMessageW(dialog, WM_USER + 2, 0, 0), 0);
    EXPECT_TRUE(::DestroyWindow(dialog));
}

// Listens on a window of someone else's.
class CListener {
public:
    explicit CListener(std::vector<UINT>& heard) : m_heard(heard) {}

    bool Listen(HWND window) {
        return CWindowSubclass::Install<&CListener::OnMessage, &CListener::m_subclass>(window,
                                                                                       *this);
    }

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        m_heard.push_back(message);
        if (message == WM_USER + 3)
            return 7;
        if (message == WM_USER + 4)
            throw std::bad_alloc();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

    std::vector<UINT>& m_heard;
    CWindowSubclass m_subclass;
};

HWND PlainWindow() {
    return ::CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

TEST(CWindowSubclass, ListensUntilTheWindowGoes) {
    std::vector<UINT> heard;
    CListener listener(heard);
    HWND window = PlainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(listener.Listen(window));
    EXPECT_EQ(listener.m_subclass.Window(), window);
    EXPECT_EQ(::SendMessageW(window, WM_USER + 3, 0, 0), 7);
    // A throw: the window's own procedure answers (a static answers 0).
    EXPECT_EQ(::SendMessageW(window, WM_USER + 4, 0, 0), 0);
    ASSERT_TRUE(::DestroyWindow(window));
    EXPECT_EQ(heard.back(), static_cast<UINT>(WM_DESTROY)) << "not WM_NCDESTROY";
    EXPECT_EQ(listener.m_subclass.Window(), nullptr) << "removed with the window";
}

TEST(CWindowSubclass, ListensUntilTheListenerGoes) {
    std::vector<UINT> heard;
    HWND window = PlainWindow();
    ASSERT_NE(window, nullptr);
    {
        CListener listener(heard);
        ASSERT_TRUE(listener.Listen(window));
    }
    heard.clear();
    EXPECT_EQ(::SendMessageW(window, WM_USER + 3, 0, 0), 0) << "the static's own answer";
    EXPECT_TRUE(heard.empty());
    EXPECT_TRUE(::DestroyWindow(window));
}

} // namespace
} // namespace kelvo
