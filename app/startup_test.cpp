#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>

#include "base/win_handles.h"
#include "crypto/twofish_self_check.h"
#include "library/data_folder.h"
#include "library/portable_data_test.h"

namespace {

// Acts on windows of this thread from a thread timer, which every message
// loop of the thread dispatches (the message box's and the program's own).
class ThreadWindowWatcher {
public:
    using Action = bool (*)(HWND window); // true once it has acted

    ThreadWindowWatcher(const wchar_t* window_class, Action action) {
        s_class = window_class;
        s_action = action;
        s_acted = false;
        m_timer = ::SetTimer(nullptr, 0, 50, &ThreadWindowWatcher::Tick);
    }
    ~ThreadWindowWatcher() { ::KillTimer(nullptr, m_timer); }
    ThreadWindowWatcher(const ThreadWindowWatcher&) = delete;
    ThreadWindowWatcher& operator=(const ThreadWindowWatcher&) = delete;
    bool Acted() const { return s_acted; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (s_acted)
            return;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                wchar_t name[64] = {};
                ::GetClassNameW(window, name, 64);
                if (s_class == name && s_action(window)) {
                    s_acted = true;
                    return FALSE;
                }
                return TRUE;
            },
            0);
    }

    static inline std::wstring s_class;
    static inline Action s_action = nullptr;
    static inline bool s_acted = false;
    UINT_PTR m_timer = 0;
};

std::wstring g_shown; // the text of the last message box closed

// Reads a message box's text and closes it with OK.
bool CloseMessageBox(HWND box) {
    if (!::IsWindowVisible(box))
        return false;
    wchar_t text[512] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 512); // the message box's text
    g_shown = text;
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return true;
}

// Refuses the creation of the program's hidden window, as a system out of
// window resources would.
LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        ::GetClassNameW(reinterpret_cast<HWND>(wp), name, 64);
        if (std::wstring_view(name) == L"KV_MAIN_WND")
            return 1;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

class StartupTest : public PortableDataTest {
protected:
    void SetUp() override {
        PortableDataTest::SetUp();
        // Nothing opens at start.
        WriteSettings("<kelvo><settings show-onstart=\"0\"/></kelvo>");
        g_shown.clear();
    }
};

} // namespace

TEST_F(StartupTest, AWindowThatCannotBeCreatedIsShownAndALaterStartWorks) {
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, RefuseMainWindow, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    int code = 0;
    {
        ThreadWindowWatcher box(L"#32770", CloseMessageBox);
        code = RunKelvo(::GetModuleHandleW(nullptr));
        EXPECT_TRUE(box.Acted()) << "a message box told the user";
    }
    ::UnhookWindowsHookEx(hook);
    EXPECT_NE(code, 0);
    EXPECT_NE(g_shown.find(L"could not start"), std::wstring::npos)
        << std::string(g_shown.begin(), g_shown.end());
    EXPECT_EQ(::FindWindowW(L"KV_MAIN_WND", nullptr), nullptr);

    // The mutex went with the failed start: the next one runs until it is
    // asked to close.
    ThreadWindowWatcher running(L"KV_MAIN_WND", [](HWND window) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return true;
    });
    EXPECT_EQ(RunKelvo(::GetModuleHandleW(nullptr)), 0);
    EXPECT_TRUE(running.Acted()) << "the hidden window existed";
}

TEST_F(StartupTest, TheCipherFaultReachesTheUser) {
    // The program's start installs the handler.
    {
        ThreadWindowWatcher running(L"KV_MAIN_WND", [](HWND window) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return true;
        });
        ASSERT_EQ(RunKelvo(::GetModuleHandleW(nullptr)), 0);
        ASSERT_TRUE(running.Acted());
    }
    EXPECT_EQ(kelvo::GetCipherFaultHandler(), &ShowCipherFault);

    ThreadWindowWatcher box(L"#32770", CloseMessageBox);
    ShowCipherFault("Internal error: the Twofish cipher fails its self-check (test).");
    EXPECT_TRUE(box.Acted());
    EXPECT_EQ(g_shown, L"Internal error: the Twofish cipher fails its self-check (test).");
    kelvo::SetCipherFaultHandler(nullptr);
}

// The manifest as kelvo.exe carries it (the program beside the test programs'
// folder), read as data without running it.
std::string ProgramManifest() {
    const std::wstring exe = GetExecutableFolder() + L"..\\kelvo.exe";
    const kelvo::UniqueHmodule program(
        ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC found =
        program ? ::FindResourceW(program.Get(), MAKEINTRESOURCEW(1), RT_MANIFEST) : nullptr;
    const auto* text =
        found ? static_cast<const char*>(::LockResource(::LoadResource(program.Get(), found)))
              : nullptr;
    return text ? std::string(text, ::SizeofResource(program.Get(), found)) : std::string();
}

TEST(Manifest, AsksForLongPathsAndPerMonitorScaling) {
    const std::string manifest = ProgramManifest();
    ASSERT_FALSE(manifest.empty());
    for (const char* setting :
         {"<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"
          "</longPathAware>",
          "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
          "PerMonitorV2, PerMonitor</dpiAwareness>",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm"
          "</dpiAware>"})
        EXPECT_NE(manifest.find(setting), std::string::npos) << setting;
}
