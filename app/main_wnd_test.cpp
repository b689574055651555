#include "app/main_wnd.h"

#include <gtest/gtest.h>

#include "app/about_dlg.h"
#include "app/autostart.h"
#include "base/system_message.h"
#include "base/win_handles.h"
#include "library/portable_data_test.h"
#include "ui/program_icon.h"
#include "wyn/testing/dialog_script.h"

using wyn_test::Click;
using wyn_test::ClickCancel;
using wyn_test::ClickOk;
using wyn_test::DialogScript;

namespace {

HWND Child(HWND dialog, const wchar_t* window_class, const wchar_t* text) {
    return ::FindWindowExW(dialog, nullptr, window_class, text);
}

HWND AutostartBox(HWND dialog) {
    return Child(dialog, L"Button", L"&Start with Windows");
}

// A key press as the keyboard delivers it: the control reads the scan code.
void Key(HWND control, UINT key, bool down) {
    LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    ::SendMessageW(control, down ? WM_KEYDOWN : WM_KEYUP, key,
                   scan | (down ? 1 : static_cast<LPARAM>(0xC0000001)));
}

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunValue() {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Kelvo", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return data;
}

void SetRunValue(const wchar_t* value) {
    kelvo::UniqueHkey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    if (value)
        ::RegSetValueExW(key.Get(), L"Kelvo", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                         static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(key.Get(), L"Kelvo");
}

// True when the combination is taken, so that nobody else can register it.
bool HotkeyTaken(UINT modifiers, UINT key) {
    if (::RegisterHotKey(nullptr, 0xBFFF, modifiers, key)) {
        ::UnregisterHotKey(nullptr, 0xBFFF);
        return false;
    }
    return true;
}

class MainWndTest : public PortableDataTest {
protected:
    void Start() {
        // Nothing opens at start in these tests.
        WriteSettings("<kelvo><settings show-onstart=\"0\" hotkey=\"1622\"/></kelvo>");
        ASSERT_TRUE(m_app.CreateHiddenWindow());
    }
    void TearDown() override {
        SetRunValue(nullptr);
        PortableDataTest::TearDown();
    }
    CMainWnd m_app{::GetModuleHandleW(nullptr)};
};

bool TrayIconExists(CMainWnd& app) {
    NOTIFYICONDATAW data = app.TrayIconData();
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

} // namespace

TEST_F(MainWndTest, AFreshDataFolderGivesTheDefaults) {
    // The defaults open the main window once start-up is done: it is closed
    // as soon as it shows, and closing it stores its placement, but no
    // settings.
    DialogScript closer({[](HWND dialog) { ::PostMessageW(dialog, WM_CLOSE, 0, 0); }});
    ASSERT_TRUE(m_app.CreateHiddenWindow());
    EXPECT_EQ(m_app.CurrentSettings(), (Settings{1, 0, 0, 5, 1, 20, 50}));
    // The script's timer keeps the loop turning.
    const ULONGLONG end = ::GetTickCount64() + 10000;
    MSG msg;
    while (!closer.Finished() && ::GetTickCount64() < end && ::GetMessageW(&msg, nullptr, 0, 0))
        ::DispatchMessageW(&msg);
    EXPECT_TRUE(closer.Finished());
    EXPECT_NE(SettingsFile().find("<main-window"), std::string::npos);
    EXPECT_EQ(SettingsFile().find("<settings"), std::string::npos) << "reading writes nothing";
}

TEST_F(MainWndTest, TrayIconComesBackWhenTheShellRestarts) {
    Start();
    EXPECT_TRUE(TrayIconExists(m_app));
    m_app.RemoveTrayIcon(); // what a shell restart does to it
    EXPECT_FALSE(TrayIconExists(m_app));
    ::SendMessageW(m_app.Hwnd(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconExists(m_app));
    // Loaded again at the small icon's size of the current scaling.
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(m_app.TrayIconData().hIcon, &info));
    const kelvo::UniqueHbitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(SM_CXSMICON));
}

// The icon carries a frame drawn at each small and large icon size of the
// common scalings (100 to 150 %), so that none is shown stretched.
TEST(ProgramIcon, HasAFrameForEachCommonScaling) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC group =
        ::FindResourceW(module, MAKEINTRESOURCEW(kelvo::kProgramIconResource), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(module, group)));
    ASSERT_NE(directory, nullptr);
    for (int side : {16, 20, 24, 32, 40, 48}) {
        const int id = ::LookupIconIdFromDirectoryEx(directory, TRUE, side, side, LR_DEFAULTCOLOR);
        HRSRC frame = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_NE(frame, nullptr) << side;
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(module, frame)));
        ASSERT_NE(header, nullptr) << side;
        EXPECT_EQ(header->biWidth, side);
    }
}

namespace {

// A shell that is not ready: it refuses the icon a number of times.
class CNotReadyShell : public CMainWnd {
public:
    using CMainWnd::CMainWnd;
    int refusals = 2;
    int adds = 0;

protected:
    bool ShellNotify(DWORD message, NOTIFYICONDATAW& data) override {
        if (message == NIM_ADD)
            ++adds;
        if (refusals > 0 && (message == NIM_ADD || message == NIM_MODIFY)) {
            refusals -= message == NIM_MODIFY;
            return false;
        }
        return CMainWnd::ShellNotify(message, data);
    }
};

// Dispatches the thread's messages until `done` or the time is up.
template <typename Done> bool PumpUntil(Done done, DWORD timeout_ms) {
    const ULONGLONG end = ::GetTickCount64() + timeout_ms;
    while (!done() && ::GetTickCount64() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
    return done();
}

} // namespace

TEST_F(MainWndTest, ATrayIconTheShellRefusesComesWhenTheShellIsReady) {
    WriteSettings("<kelvo><settings show-onstart=\"0\"/></kelvo>");
    CNotReadyShell shell_app(::GetModuleHandleW(nullptr));
    ASSERT_TRUE(shell_app.CreateHiddenWindow());
    EXPECT_FALSE(TrayIconExists(shell_app));
    EXPECT_TRUE(PumpUntil([&] { return TrayIconExists(shell_app); }, 10000));
    EXPECT_EQ(shell_app.adds, 3) << "at creation and twice from the timer";
    // Once it is there, the timer stops.
    PumpUntil([] { return false; }, 2500);
    EXPECT_EQ(shell_app.adds, 3);
}

TEST_F(MainWndTest, TrayTipIsTheApplicationNameCutTo63Characters) {
    EXPECT_STREQ(m_app.TrayIconData().szTip, L"Kelvo");
    m_app.Engine().AddString(L"appname", std::nullopt, std::wstring(70, L'n'));
    EXPECT_EQ(std::wstring(m_app.TrayIconData().szTip), std::wstring(63, L'n'));
}

TEST_F(MainWndTest, HotkeyFromTheSettingsIsRegisteredAndReleased) {
    Start();
    EXPECT_NE(m_app.HotkeyAtom(), 0);
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
    m_app.UnregisterAppHotkey();
    EXPECT_EQ(m_app.HotkeyAtom(), 0);
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
}

TEST_F(MainWndTest, AcceptingTheSettingsUnchangedRewritesEveryAttribute) {
    Start();
    const Settings before = m_app.CurrentSettings();
    DialogScript script({ClickOk});
    m_app.EditSettings(nullptr);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(m_app.CurrentSettings(), before);
    const std::string file = SettingsFile();
    for (const char* attribute :
         {"paste-on-dblclick=\"1\"", "hotkey=\"1622\"", "close-on-paste=\"0\"",
          "remember-password=\"5\"", "show-onstart=\"0\"", "paste-delay=\"20\"",
          "switch-delay=\"50\"", "restore-clipboard=\"1\""})
        EXPECT_NE(file.find(attribute), std::string::npos) << attribute << " in " << file;
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
}

TEST_F(MainWndTest, CancellingTheSettingsChangesNothingAndKeepsTheHotkey) {
    Start();
    const Settings before = m_app.CurrentSettings();
    const std::string file = SettingsFile();
    DialogScript script({[](HWND dialog) {
        // The hotkey is free while the dialog is open.
        EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
        Click(AutostartBox(dialog));
        ClickCancel(dialog);
    }});
    m_app.EditSettings(nullptr);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(m_app.CurrentSettings(), before);
    EXPECT_EQ(SettingsFile(), file);
    EXPECT_EQ(RunValue(), L"<none>");
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
}

TEST_F(MainWndTest, GivingTheClipboardBackIsOnUntilItsBoxIsCleared) {
    Start();
    int shown = -1;
    DialogScript script({[&shown](HWND dialog) {
        HWND box = Child(dialog, L"Button", L"&Give my clipboard back after pasting");
        ASSERT_NE(box, nullptr);
        shown = static_cast<int>(::SendMessageW(box, BM_GETCHECK, 0, 0));
        Click(box);
        ClickOk(dialog);
    }});
    m_app.EditSettings(nullptr);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(shown, BST_CHECKED);
    EXPECT_EQ(m_app.CurrentSettings().restore_clipboard, 0);
    EXPECT_NE(SettingsFile().find("restore-clipboard=\"0\""), std::string::npos);
}

TEST_F(MainWndTest, ANewHotkeyIsStoredAndRegistered) {
    WriteSettings("<kelvo><settings show-onstart=\"0\"/></kelvo>");
    ASSERT_TRUE(m_app.CreateHiddenWindow());
    DialogScript script({[](HWND dialog) {
        HWND hotkey = Child(dialog, L"WYN_HOTKEY_CLASS", nullptr);
        ASSERT_NE(hotkey, nullptr);
        Key(hotkey, VK_CONTROL, true);
        Key(hotkey, VK_MENU, true);
        Key(hotkey, 'V', true);
        ClickOk(dialog);
    }});
    m_app.EditSettings(nullptr);
    EXPECT_EQ(m_app.CurrentSettings().hotkey, 0x0656);
    EXPECT_NE(SettingsFile().find("hotkey=\"1622\""), std::string::npos);
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
}

TEST_F(MainWndTest, StartWithWindowsFollowsTheBoxOnlyWhenItChanges) {
    Start();
    SetRunValue(nullptr);
    auto tick_and_accept = [](HWND dialog) {
        Click(AutostartBox(dialog));
        ClickOk(dialog);
    };
    {
        DialogScript script({tick_and_accept});
        m_app.EditSettings(nullptr);
    }
    EXPECT_EQ(RunValue(), GetExecutableFolder() + L"kelvo.exe");
    {
        DialogScript script({tick_and_accept});
        m_app.EditSettings(nullptr);
    }
    EXPECT_EQ(RunValue(), L"<none>");

    // A value written by hand shows the box on and survives an unchanged accept.
    SetRunValue(L"D:\\elsewhere\\kelvo.exe /quiet");
    int shown = -1;
    {
        DialogScript script({[&shown](HWND dialog) {
            shown = static_cast<int>(::SendMessageW(AutostartBox(dialog), BM_GETCHECK, 0, 0));
            ClickOk(dialog);
        }});
        m_app.EditSettings(nullptr);
    }
    EXPECT_EQ(shown, BST_CHECKED);
    EXPECT_EQ(RunValue(), L"D:\\elsewhere\\kelvo.exe /quiet");
}

TEST(FormatVersionLabel, TrailingZerosGoButTwoPartsStay) {
    EXPECT_EQ(FormatVersionLabel(1, 2, 0, 0), L"v1.2 (64 bit)");
    EXPECT_EQ(FormatVersionLabel(1, 2, 3, 0), L"v1.2.3 (64 bit)");
    EXPECT_EQ(FormatVersionLabel(1, 2, 3, 4), L"v1.2.3.4 (64 bit)");
    EXPECT_EQ(FormatVersionLabel(1, 0, 0, 0), L"v1.0 (64 bit)");
    EXPECT_EQ(FormatVersionLabel(1, 0, 0, 7), L"v1.0.0.7 (64 bit)");
    EXPECT_EQ(FormatVersionLabel(0, 0, 0, 0), L"v0.0.0.0 (64 bit)");
}

TEST_F(MainWndTest, AboutShowsTheProgramVersion) {
    Start();
    std::wstring shown;
    DialogScript script({[&shown](HWND dialog) {
        wchar_t text[64] = {};
        HWND label = Child(dialog, L"Static", L"v0.1 (64 bit)");
        if (label)
            ::GetWindowTextW(label, text, 64);
        shown = text;
        ClickOk(dialog);
    }});
    m_app.ShowAbout(m_app.Hwnd());
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(shown, L"v0.1 (64 bit)");
    EXPECT_EQ(ProgramVersionLabel(), L"v0.1 (64 bit)");
}

TEST_F(MainWndTest, WhatTheLibraryTellsIsShownAndWaitingChangesAreWrittenLater) {
    Start();
    WriteChunks("<kelvo><chunks><chunk id=\"5\" title=\"five\">e</chunk></chunks></kelvo>");
    CChunkStore& store = m_app.Chunks();
    store.LoadChunks();
    std::vector<std::wstring> shown;
    auto read_and_close = [&shown](HWND box) {
        shown.push_back(wyn_test::MessageBoxText(box));
        ClickOk(box);
    };

    // A library held by another program: the box says which file and why.
    {
        kelvo::UniqueHandle holder(::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, 0, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holder.Get(), INVALID_HANDLE_VALUE);
        DialogScript script({read_and_close});
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"new text", L"new"));
        EXPECT_TRUE(script.Finished());
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(m_chunksPath), std::wstring::npos) << shown[0];
    EXPECT_NE(shown[0].find(kelvo::SystemMessage(ERROR_SHARING_VIOLATION)), std::wstring::npos)
        << shown[0];
    EXPECT_TRUE(store.HasUnsaved());
    // The retry timer writes the change once the file reads again.
    ::SendMessageW(m_app.Hwnd(), WM_TIMER, CMainWnd::kLibraryPollTimer, 0);
    EXPECT_FALSE(store.HasUnsaved());
    EXPECT_NE(ChunksFile().find("title=\"new\""), std::string::npos);

    // A chunk changed elsewhere: the box names both versions.
    std::string file = ChunksFile();
    file.replace(file.find("title=\"five\""), 12, "title=\"theirs\"");
    WriteChunks(file);
    kelvo::Ref<text_chunk> five = store.Chunks().at(5);
    five->title = L"ours";
    {
        DialogScript script({read_and_close});
        store.PutChunk(five);
        EXPECT_TRUE(script.Finished());
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[1].find(L"\u201ctheirs\u201d"), std::wstring::npos) << shown[1];
    EXPECT_NE(shown[1].find(L"\u201cours (conflict)\u201d"), std::wstring::npos) << shown[1];

    // Changes still waiting when the program ends are written then.
    {
        kelvo::UniqueHandle holder(::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, 0, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
        DialogScript script({read_and_close});
        store.PutChunk(kelvo::MakeRef<text_chunk>(L"last text", L"last"));
        EXPECT_TRUE(script.Finished());
    }
    ::DestroyWindow(m_app.Hwnd());
    EXPECT_NE(ChunksFile().find("title=\"last\""), std::string::npos);
}

// Held at start, then let go unchanged; with or without a chunk put
// meanwhile, which waits without a second box.
class HeldAtStartTest : public MainWndTest, public testing::WithParamInterface<bool> {};

TEST_P(HeldAtStartTest, ALibraryHeldAtStartIsReadOnceItIsLetGo) {
    const bool put_while_held = GetParam();
    WriteChunks("<kelvo><chunks><chunk id=\"5\" title=\"five\">e</chunk></chunks></kelvo>");
    kelvo::UniqueHandle holder(
        ::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.Get(), INVALID_HANDLE_VALUE);
    {
        DialogScript told({[](HWND box) { ClickOk(box); }});
        Start();
        EXPECT_TRUE(told.Finished()) << "the held library is told at start";
    }
    CChunkStore& store = m_app.Chunks();
    EXPECT_TRUE(store.Chunks().empty());
    // The first look of the sync, while the file is still held.
    {
        DialogScript none({}, 3000);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (put_while_held) {
            store.PutChunk(kelvo::MakeRef<text_chunk>(L"new text", L"new"));
            EXPECT_TRUE(store.HasUnsaved());
        }
        EXPECT_TRUE(none.Finished()) << "no box";
    }
    holder.Reset();
    // The next poll reads it, and writes what waited.
    ::SendMessageW(m_app.Hwnd(), WM_TIMER, CMainWnd::kLibraryPollTimer, 0);
    EXPECT_FALSE(store.HasUnsaved());
    ASSERT_EQ(store.Chunks().size(), put_while_held ? 2u : 1u);
    EXPECT_EQ(store.Chunks().at(5)->title, L"five");
    EXPECT_EQ(ChunksFile().find("title=\"new\"") != std::string::npos, put_while_held);
}

INSTANTIATE_TEST_SUITE_P(PutWhileHeld, HeldAtStartTest, testing::Bool());

TEST_F(MainWndTest, LogoffAndShutdownWriteWhatWaits) {
    Start();
    WriteChunks("<kelvo><chunks><chunk id=\"5\" title=\"five\">e</chunk>"
                "<chunk id=\"6\" title=\"six\">f</chunk></chunks></kelvo>");
    CChunkStore& store = m_app.Chunks();
    store.LoadChunks();
    const struct {
        UINT message;
        int deleted;
    } cases[] = {{WM_QUERYENDSESSION, 5}, {WM_ENDSESSION, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        {
            kelvo::UniqueHandle holder(::CreateFileW(m_chunksPath.c_str(), GENERIC_READ, 0, nullptr,
                                                     OPEN_EXISTING, 0, nullptr));
            ASSERT_NE(holder.Get(), INVALID_HANDLE_VALUE);
            DialogScript told({[](HWND box) { ClickOk(box); }}, 3000);
            store.DeleteChunk(c.deleted);
            EXPECT_TRUE(store.HasUnsaved()) << "the deletion waits";
        }
        EXPECT_NE(ChunksFile().find("id=\"" + std::to_string(c.deleted) + "\""), std::string::npos);
        EXPECT_EQ(::SendMessageW(m_app.Hwnd(), c.message, TRUE, ENDSESSION_LOGOFF),
                  c.message == WM_QUERYENDSESSION ? TRUE : 0);
        EXPECT_FALSE(store.HasUnsaved());
        EXPECT_EQ(ChunksFile().find("id=\"" + std::to_string(c.deleted) + "\""), std::string::npos)
            << ChunksFile();
    }
}

TEST_F(MainWndTest, SettingsChangedElsewhereTakeEffect) {
    Start();
    ASSERT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
    // Another copy of the program sharing the folder chose Ctrl+Alt+W.
    WriteSettings("<kelvo><settings show-onstart=\"0\" hotkey=\"1623\" paste-delay=\"70\"/>"
                  "</kelvo>");
    const DWORD start = ::GetTickCount();
    while (m_app.CurrentSettings().hotkey != 1623 && ::GetTickCount() - start < 5000) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, CMainWnd::kLibraryMessage, CMainWnd::kLibraryMessage,
                              PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(20);
    }
    EXPECT_EQ(m_app.CurrentSettings().hotkey, 1623);
    EXPECT_EQ(m_app.CurrentSettings().paste_delay, 70);
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'W'));
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'V'));
}

namespace {

CWynElement* FindPicture(CWynElement& element) {
    CWynElement* found = nullptr;
    if (element.IsType(L"picture", found))
        return found;
    for (const auto& child : element.Children())
        if (CWynElement* picture = FindPicture(*child))
            return picture;
    return nullptr;
}

} // namespace

TEST(AboutBox, TheLogoFollowsTheDpi) {
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        CkvWynEngine engine(::GetModuleHandleW(nullptr));
        CAboutDlg about(&engine);
        about.SetDpi(dpi);
        RECT window{};
        SIZE logo{};
        DialogScript script({[&](HWND dialog) {
            if (CWynElement* picture = FindPicture(about); picture && picture->Hwnd()) {
                ::GetClientRect(picture->Hwnd(), &window);
                logo = picture->Measure();
            }
            ClickOk(dialog);
        }});
        about.DoModal(nullptr);
        EXPECT_TRUE(script.Finished());
        // Its column is as wide as the logo; its row may be higher.
        const int side = ::MulDiv(64, static_cast<int>(dpi), 96);
        EXPECT_EQ(logo.cx, side);
        EXPECT_EQ(logo.cy, side);
        EXPECT_EQ(window.right, side);
    }
}
