// The chunk browser as the tray application runs it: with its settings
// dialog, its password dialog and the library's live reload.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_wnd.h"
#include "library/master_password.h"
#include "library/portable_data_test.h"
#include "library/test_files.h"
#include "ui/browser/browser_test.h"
#include "ui/browser/prop_dlg.h"
#include "ui/drawn_test.h"
#include "wyn/testing/dialog_script.h"

using namespace browser_test;
using wyn_test::DialogScript;

namespace {

// The tray window with a small library, and the chunk browser opened from
// it, driven by a script.
class BrowserInAppTest : public PortableDataTest {
protected:
    void SetUp() override {
        PortableDataTest::SetUp();
        WriteSettings("<kelvo><settings show-onstart=\"0\"/></kelvo>");
        WriteChunks("<kelvo><chunks>"
                    "<chunk id=\"1\" title=\"Home address\" tags=\"private\">Main Street</chunk>"
                    "<chunk id=\"2\" title=\"Signature\" tags=\"work;mail\">Regards</chunk>"
                    "<chunk id=\"3\" title=\"Agenda\" tags=\"Work\">Items</chunk>"
                    "<chunk id=\"4\" title=\"Reply\" tags=\"work\">Thanks</chunk>"
                    "</chunks></kelvo>");
        ASSERT_TRUE(m_app.CreateHiddenWindow());
    }

    // Opens the chunk browser and runs the steps in it, each given the
    // browser; the last step closes it with the close box. Checks that all ran.
    void Run(std::vector<std::function<void(CPropDlg&)>> steps) {
        std::vector<DialogScript::Step> script;
        for (auto& step : steps)
            script.push_back([this, step](HWND) {
                ASSERT_NE(m_app.ChunkBrowser(), nullptr);
                step(*m_app.ChunkBrowser());
            });
        script.push_back([](HWND dialog) { ::PostMessageW(dialog, WM_CLOSE, 0, 0); });
        DialogScript runner(std::move(script));
        m_app.OpenMainWindow();
        EXPECT_TRUE(runner.Finished());
        EXPECT_EQ(m_app.ChunkBrowser(), nullptr);
    }

    CMainWnd m_app{::GetModuleHandleW(nullptr)};
};

// Shots of the main window, the editor and the settings as the program opens
// them, at the scaling this process runs at: for a person to look at, and for
// tests/e2e/scaling_shots.sh, which compares them between two scalings.
TEST_F(BrowserInAppTest, ShotsOfTheMainWindowTheEditorAndTheSettings) {
    DialogScript browse({
        [](HWND main) {
            EXPECT_TRUE(ui_test::SaveShot(main, L"scaling-main-window"));
            // Alt+N: a new chunk in the editor.
            ::PostMessageW(main, WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
        },
        [](HWND editor) {
            EXPECT_TRUE(ui_test::SaveShot(editor, L"scaling-editor"));
            wyn_test::ClickCancel(editor);
        },
        [](HWND main) { ::PostMessageW(main, WM_CLOSE, 0, 0); },
    });
    m_app.OpenMainWindow();
    EXPECT_TRUE(browse.Finished());
    DialogScript settings({[](HWND dialog) {
        EXPECT_TRUE(ui_test::SaveShot(dialog, L"scaling-settings"));
        wyn_test::ClickCancel(dialog);
    }});
    m_app.EditSettings(nullptr);
    EXPECT_TRUE(settings.Finished());
}

TEST_F(BrowserInAppTest, EncryptTickedWithoutThePasswordStoresNothingAndKeepsTheEditorOpen) {
    kelvo::CipherKey key;
    ASSERT_TRUE(MakeDataKey(key));
    ASSERT_TRUE(StoreDataKey(L"master", key));
    const std::string before = ChunksFile();
    HWND editor = nullptr;
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
         },
         [&](CPropDlg&) {
             editor = DialogScript::FrontDialog();
             FillEditor(L"Secret", L"", L"pin 1234");
             const auto boxes = ChildrenOf(editor, L"Button");
             for (HWND box : boxes) {
                 wchar_t label[64] = {};
                 ::GetWindowTextW(box, label, 64);
                 if (std::wstring_view(label) == L"Encrypt chunk text")
                     ::SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
             }
             ::PostMessageW(editor, WM_COMMAND, IDOK, 0);
         },
         [&](CPropDlg&) {
             HWND password = DialogScript::FrontDialog();
             EXPECT_NE(password, editor) << "the password is asked for";
             ::SendMessageW(password, WM_COMMAND, IDCANCEL, 0);
         },
         [&](CPropDlg&) {
             // Still open with the text, and the only dialog the user can
             // reach: the password dialog gave the focus back to it.
             EXPECT_EQ(DialogScript::FrontDialog(), editor);
             EXPECT_FALSE(::IsWindowEnabled(::GetWindow(editor, GW_OWNER)));
             EXPECT_EQ(ChunksFile(), before) << "nothing stored in clear";
             ::SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
         },
         [&](CPropDlg&) { EXPECT_EQ(m_app.Chunks().Chunks().size(), 4u); }});
}

// Handles the tray window's reports of changed data files (and nothing else,
// so that the script's steps run in order) until `done` holds or 5 s passed.
bool HandleLibraryReports(const std::function<bool()>& done) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > 5000)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, CMainWnd::kLibraryMessage, CMainWnd::kLibraryMessage,
                              PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(20);
    }
    return true;
}

std::wstring TextOf(HWND window) {
    std::wstring text(::GetWindowTextLengthW(window), L'\0');
    ::GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1));
    return text;
}

TEST_F(BrowserInAppTest, ChangesMadeElsewhereShowLiveAndNeverCostWhatIsTyped) {
    kelvo::Ref<text_chunk> reply;
    Run({[&](CPropDlg& dialog) {
             SelectTag(dialog, L"work");
             List(dialog, L"lst_items").SelectItem(1); // "Reply"
             ASSERT_EQ(Selected(dialog), 4);
             reply = m_app.Chunks().Chunks().at(4);
             // Another PC removed 1, renamed 2 and added 5.
             WriteChunks("<kelvo><chunks>"
                         "<chunk id=\"2\" title=\"Signature 2\" tags=\"work;mail\">Regards</chunk>"
                         "<chunk id=\"3\" title=\"Agenda\" tags=\"Work\">Items</chunk>"
                         "<chunk id=\"4\" title=\"Reply\" tags=\"work\">Thanks</chunk>"
                         "<chunk id=\"5\" title=\"Address\" tags=\"work\">Road</chunk>"
                         "</chunks></kelvo>");
             EXPECT_TRUE(HandleLibraryReports([&] { return Titles(dialog).size() == 4; }));
             EXPECT_EQ(Titles(dialog), (Strings{L"Address", L"Agenda", L"Reply", L"Signature 2"}));
             EXPECT_EQ(dialog.SelectedTagName(), L"work");
             EXPECT_EQ(Selected(dialog), 4);
             EXPECT_EQ(m_app.Chunks().Chunks().count(1), 0u);
             EXPECT_EQ(m_app.Chunks().Chunks().at(4).Get(), reply.Get());
             dialog.OnEvent(dialog.FindById(L"btn-edit"), L"clicked", 0, 0);
         },
         [this](CPropDlg&) {
             FillEditor(L"Reply typed", L"work", L"typed here");
             // Meanwhile the chunk being edited is changed on another PC.
             WriteChunks("<kelvo><chunks>"
                         "<chunk id=\"4\" title=\"Reply theirs\" tags=\"work\">Thanks</chunk>"
                         "</chunks></kelvo>");
             EXPECT_TRUE(HandleLibraryReports(
                 [this] { return m_app.Chunks().Chunks().at(4)->title == L"Reply theirs"; }));
             HWND editor = DialogScript::FrontDialog();
             const auto text = ChildrenOf(editor, L"RichEdit20W");
             ASSERT_EQ(text.size(), 1u);
             EXPECT_EQ(TextOf(text[0]), L"typed here");
             ::SendMessageW(editor, WM_COMMAND, IDOK, 0);
         },
         [](CPropDlg&) {
             HWND notice = DialogScript::FrontDialog();
             EXPECT_NE(wyn_test::MessageBoxText(notice).find(L"Reply theirs"), std::wstring::npos)
                 << wyn_test::MessageBoxText(notice);
             ::SendMessageW(notice, WM_COMMAND, IDOK, 0);
         },
         [this](CPropDlg& dialog) {
             EXPECT_EQ(Titles(dialog), (Strings{L"Reply theirs", L"Reply typed (conflict)"}));
             EXPECT_NE(ChunksFile().find("typed here"), std::string::npos);
             EXPECT_NE(ChunksFile().find("Reply theirs"), std::string::npos);
             // The program's own write is no change to read again.
             const unsigned revision = m_app.Chunks().Revision();
             HandleLibraryReports([] { return false; });
             EXPECT_EQ(m_app.Chunks().Revision(), revision);
         }});
}

TEST_F(BrowserInAppTest, AConflictCopyIsOfferedMergedAndRenamed) {
    const std::wstring copy = m_folder + L"chunks (Laptop's conflicted copy).xml";
    std::wstring question;
    std::wstring result;
    Run({[&](CPropDlg& dialog) {
             test_files::Write(copy, "<kelvo><chunks>"
                                     "<chunk id=\"1\" title=\"Home address\" "
                                     "tags=\"private\">Main Street</chunk>"
                                     "<chunk id=\"3\" title=\"Agenda\" tags=\"Work\">Other</chunk>"
                                     "<chunk id=\"7\" title=\"Phone\" tags=\"work\">555</chunk>"
                                     "</chunks></kelvo>");
             EXPECT_TRUE(HandleLibraryReports([&] { return !test_files::Exists(copy); }));
             EXPECT_NE(question.find(copy), std::wstring::npos) << question;
             EXPECT_NE(result.find(L"1 chunks added, 1 added as conflicts, 1 already"),
                       std::wstring::npos)
                 << result;
             EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Agenda (conflict)", L"Home address",
                                                L"Phone", L"Reply", L"Signature"}));
             const auto merged = test_files::List(m_folder);
             const auto set_aside =
                 std::find_if(merged.begin(), merged.end(), [](const auto& name) {
                     return name.starts_with(L"chunks (Laptop's conflicted copy).xml.merged-");
                 });
             ASSERT_NE(set_aside, merged.end());
             EXPECT_NE(result.find(*set_aside), std::wstring::npos) << result;
             ::DeleteFileW((m_folder + *set_aside).c_str());
         },
         [&](CPropDlg&) {
             HWND box = DialogScript::FrontDialog();
             question = wyn_test::MessageBoxText(box);
             ::SendMessageW(box, WM_COMMAND, IDYES, 0);
         },
         [&](CPropDlg&) {
             HWND box = DialogScript::FrontDialog();
             result = wyn_test::MessageBoxText(box);
             ::SendMessageW(box, WM_COMMAND, IDOK, 0);
         }});
    ::DeleteFileW(copy.c_str());
}

} // namespace
