#include "ui/browser/prop_dlg.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_wnd.h"
#include "base/com.h"
#include "library/master_password.h"
#include "library/portable_data_test.h"
#include "library/test_files.h"
#include "ui/custom_list.h"
#include "ui/drawn_test.h"
#include "wyn/testing/dialog_script.h"

using wyn_test::DialogScript;

namespace {

// The windows of a class inside a dialog, in the order they were made.
std::vector<HWND> ChildrenOf(HWND dialog, const wchar_t* window_class) {
    struct Search {
        const wchar_t* window_class;
        std::vector<HWND> found;
    } search{window_class, {}};
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            if (::CompareStringOrdinal(name, -1, search.window_class, -1, TRUE) == CSTR_EQUAL)
                search.found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Fills the chunk editor in front: title, tags and text.
void FillEditor(const wchar_t* title, const wchar_t* tags, const wchar_t* text) {
    HWND editor = DialogScript::FrontDialog();
    const auto edits = ChildrenOf(editor, L"Edit");
    const auto rich = ChildrenOf(editor, L"RichEdit20W");
    ASSERT_EQ(edits.size(), 2u);
    ASSERT_EQ(rich.size(), 1u);
    ::SetWindowTextW(edits[0], title);
    ::SetWindowTextW(edits[1], tags);
    ::SetWindowTextW(rich[0], text);
}

// The tray window with a small library, and the chunk browser opened from
// it, driven by a script.
class PropDlgTest : public PortableDataTest {
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

    static CWynCustomList& List(CPropDlg& dialog, const wchar_t* id) {
        return *static_cast<CWynCustomList*>(dialog.FindById(id));
    }
    static std::vector<std::wstring> Titles(const CPropDlg& dialog) {
        std::vector<std::wstring> titles;
        for (const auto& chunk : dialog.ChunkRows())
            titles.push_back(chunk->title);
        return titles;
    }
    static std::vector<std::wstring> Tags(const CPropDlg& dialog) {
        std::vector<std::wstring> tags;
        for (const auto& row : dialog.TagRows())
            tags.push_back(row.name + L":" + std::to_wstring(row.count));
        return tags;
    }
    static int Selected(const CPropDlg& dialog) {
        const auto* chunk = dialog.SelectedChunk();
        return chunk ? (*chunk)->id : 0;
    }
    // Selects the tag row as a click does.
    static void SelectTag(CPropDlg& dialog, std::wstring_view name) {
        const auto& rows = dialog.TagRows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].name == name) {
                List(dialog, L"lst_tags").SelectItem(static_cast<int>(i));
                dialog.OnEvent(&List(dialog, L"lst_tags"), L"customlst-selchanged", 0, 0);
            }
    }

    CMainWnd m_app{::GetModuleHandleW(nullptr)};
};

using Strings = std::vector<std::wstring>;

TEST_F(PropDlgTest, TheFirstOpeningShowsEverythingCentredWithTheFirstChunk) {
    Run({[](CPropDlg& dialog) {
        EXPECT_EQ(Tags(dialog),
                  (Strings{L"all chunks:4", L"Work:1", L"mail:1", L"private:1", L"work:2"}));
        EXPECT_EQ(dialog.SelectedTagName(), std::nullopt);
        EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Home address", L"Reply", L"Signature"}));
        EXPECT_EQ(Selected(dialog), 3);
        RECT window{}, work{};
        ::GetWindowRect(dialog.Hwnd(), &window);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 2);
        EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 2);
        // Screen readers read the rows by their names.
        const auto tags = ui_test::AccessibleOf(List(dialog, L"lst_tags").Hwnd());
        const auto chunks = ui_test::AccessibleOf(List(dialog, L"lst_items").Hwnd());
        ASSERT_TRUE(tags && chunks);
        EXPECT_EQ(ui_test::AccName(*tags.Get(), 1), L"all chunks");
        EXPECT_EQ(ui_test::AccName(*tags.Get(), 5), L"work");
        EXPECT_EQ(ui_test::AccName(*chunks.Get(), 2), L"Home address");
        EXPECT_TRUE(ui_test::SaveShot(dialog.Hwnd(), L"main-window"));
        // The pointer over "new chunk": the button is hot.
        ::SendMessageW(dialog.FindById(L"btn-new")->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(ui_test::SaveShot(dialog.Hwnd(), L"main-window-hot-button"));
    }});
}

// Shots of the main window, the editor and the settings as the program opens
// them, at the scaling this process runs at: for a person to look at, and for
// tests/e2e/scaling_shots.sh, which compares them between two scalings.
TEST_F(PropDlgTest, ShotsOfTheMainWindowTheEditorAndTheSettings) {
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

TEST_F(PropDlgTest, TypingSearchesAndAHashOffersTheTags) {
    Run({[](CPropDlg& dialog) {
        wyn_test::SetText(dialog, L"find", L"#work");
        // Both spellings of the tag are found by either.
        EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Reply", L"Signature"}));
        wyn_test::SetText(dialog, L"find", L"re");
        EXPECT_EQ(Titles(dialog), (Strings{L"Home address", L"Reply", L"Signature"}));
        wyn_test::SetText(dialog, L"find", L"re #");
        HWND find = dialog.FindById(L"find")->Hwnd();
        ::SendMessageW(find, EM_SETSEL, 4, 4);
        dialog.FullRefresh();
        // The caret after "#": the tags found are offered in a popup.
        HWND popup = ::FindWindowW(L"CCODEAUTOCOMPLETE_WND", nullptr);
        EXPECT_TRUE(popup && ::IsWindowVisible(popup));
        EXPECT_EQ(Tags(dialog), (Strings{L"all chunks:3", L"mail:1", L"private:1", L"work:2"}));
        EXPECT_TRUE(ui_test::SaveShot(popup, L"main-window-tag-popup"));
    }});
}

TEST_F(PropDlgTest, TheStateComesBackAtTheNextOpening) {
    Run({[](CPropDlg& dialog) {
        wyn_test::SetText(dialog, L"find", L"e");
        SelectTag(dialog, L"work");
        List(dialog, L"lst_items").SelectItem(2);
        ASSERT_EQ(Selected(dialog), 2);
        ::SetWindowPos(dialog.Hwnd(), nullptr, 100, 50, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    }});
    const std::string settings = SettingsFile();
    for (const char* saved :
         {"left=\"100\"", "top=\"50\"", "tag=\"work\"", "chunk=\"2\"", "find=\"e\""})
        EXPECT_NE(settings.find(saved), std::string::npos) << saved << "\n" << settings;

    Run({[](CPropDlg& dialog) {
        EXPECT_EQ(std::wstring(dialog.FindById(L"find")->GetTextValue()), L"e");
        EXPECT_EQ(dialog.SelectedTagName(), L"work");
        EXPECT_EQ(Selected(dialog), 2);
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ::GetWindowPlacement(dialog.Hwnd(), &placement);
        EXPECT_EQ(placement.rcNormalPosition.left, 100);
        EXPECT_EQ(placement.rcNormalPosition.top, 50);
    }});
    // Saved again where it was opened: it does not drift.
    EXPECT_NE(SettingsFile().find("left=\"100\" top=\"50\""), std::string::npos) << SettingsFile();
}

TEST_F(PropDlgTest, AltWOpensTheWindowChooserAndAChoiceBecomesTheTarget) {
    const kelvo::UniqueHwnd target(::CreateWindowExW(0, L"STATIC", L"chooser target",
                                                     WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                                     nullptr, nullptr, nullptr));
    Run({[](CPropDlg& dialog) {
             // With Caps Lock on, the capital letter does nothing.
             ::SendMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'W', MF_SYSMENU), 0);
             EXPECT_EQ(dialog.WindowsList(), nullptr);
             ::SendMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'w', MF_SYSMENU), 0);
             ASSERT_NE(dialog.WindowsList(), nullptr);
             EXPECT_TRUE(dialog.WindowsList()->IsOpen());
             EXPECT_TRUE(ui_test::SaveShot(dialog.WindowsList()->Hwnd(), L"main-window-chooser"));
         },
         [&](CPropDlg& dialog) {
             kelvo::CWindowsList& chooser = *dialog.WindowsList();
             const auto& windows = chooser.Windows();
             const auto found = std::find_if(windows.begin(), windows.end(), [&](const auto& w) {
                 return w.window == target.Get();
             });
             ASSERT_NE(found, windows.end());
             chooser.SetCurrent(static_cast<int>(found - windows.begin()), true);
             ::SendMessageW(chooser.Hwnd(), WM_KEYDOWN, VK_RETURN, 1);
             EXPECT_FALSE(chooser.IsOpen());
             EXPECT_EQ(m_app.PasteTarget().window, target.Get());
             EXPECT_EQ(m_app.PasteTarget().title, L"chooser target");
         }});
}

TEST_F(PropDlgTest, ANewChunkFromTheEditorIsStoredListedAndSelected) {
    Run({[](CPropDlg& dialog) {
             SelectTag(dialog, L"work");
             ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
         },
         [](CPropDlg&) {
             FillEditor(L"Zebra note", L"work;new", L"line one\r\nline two");
             ::SendMessageW(DialogScript::FrontDialog(), WM_COMMAND, IDOK, 0);
         },
         [this](CPropDlg& dialog) {
             ASSERT_EQ(m_app.Chunks().Chunks().size(), 5u);
             const auto& stored = *m_app.Chunks().Chunks().rbegin()->second;
             EXPECT_EQ(stored.title, L"Zebra note");
             EXPECT_EQ(stored.text, L"line one\r\nline two");
             EXPECT_EQ(stored.tags, (Strings{L"work", L"new"}));
             EXPECT_EQ(dialog.SelectedTagName(), L"work") << "it carries the tag";
             EXPECT_EQ(Selected(dialog), stored.id);
             EXPECT_NE(ChunksFile().find("Zebra note"), std::string::npos);
         }});
}

TEST_F(PropDlgTest, EncryptTickedWithoutThePasswordStoresNothingAndKeepsTheEditorOpen) {
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

TEST_F(PropDlgTest, WithoutPasteOnDoubleClickEnterAndDoubleClickEditTheChunk) {
    m_app.CurrentSettings().paste_on_dblclick = 0;
    for (const wchar_t* event : {L"customlst-keyenter", L"customlst-dblclick"}) {
        Run({[&](CPropDlg& dialog) {
                 // "Home address", the second row.
                 dialog.OnEvent(&List(dialog, L"lst_items"), event, 1, 0);
             },
             [&](CPropDlg& dialog) {
                 HWND editor = DialogScript::FrontDialog();
                 ASSERT_NE(editor, dialog.Hwnd()) << "the editor";
                 const auto edits = ChildrenOf(editor, L"Edit");
                 ASSERT_FALSE(edits.empty());
                 wchar_t title[64] = {};
                 ::GetWindowTextW(edits[0], title, 64);
                 EXPECT_EQ(std::wstring_view(title), L"Home address");
                 // Edited and saved: the list shows the new title.
                 ::SetWindowTextW(edits[0], L"Home");
                 ::SendMessageW(editor, WM_COMMAND, IDOK, 0);
             },
             [&](CPropDlg& dialog) {
                 EXPECT_EQ(m_app.Chunks().Chunks().at(1)->title, L"Home");
                 EXPECT_EQ(Selected(dialog), 1);
                 m_app.Chunks().Chunks().at(1)->title = L"Home address";
             }});
    }
}

TEST_F(PropDlgTest, ATagListWidthSavedInAWideWindowComesBack) {
    WriteSettings("<kelvo><settings show-onstart=\"0\"/><main-window left=\"10\" top=\"10\" "
                  "width=\"900\" height=\"600\" vsplitter=\"400\"/></kelvo>");
    Run({[](CPropDlg& dialog) {
        EXPECT_EQ(dialog.FindById(L"vsplitter")->GetIntValue(), 400);
        RECT tags{};
        ::GetWindowRect(List(dialog, L"lst_tags").Hwnd(), &tags);
        EXPECT_EQ(tags.right - tags.left, 400);
    }});
}

// The check box of the editor in front labelled "Encrypt chunk text".
HWND EncryptBox(HWND editor) {
    for (HWND box : ChildrenOf(editor, L"Button")) {
        wchar_t label[64] = {};
        ::GetWindowTextW(box, label, 64);
        if (std::wstring_view(label) == L"Encrypt chunk text")
            return box;
    }
    return nullptr;
}

TEST_F(PropDlgTest, AnEncryptedChunkOpensCheckedWithItsPlainTextAndUncheckedIsStoredPlain) {
    kelvo::CipherKey key;
    ASSERT_TRUE(MakeDataKey(key));
    ASSERT_TRUE(StoreDataKey(L"master", key));
    auto secret = m_app.Chunks().Chunks().at(2);
    secret->text = L"line one\nline two"; // a bare line feed, as another program may write
    ASSERT_TRUE(secret->Encrypt(key));
    m_app.Chunks().PutChunk(secret);
    {
        // The password given once, and remembered: the editor opens at once.
        DialogScript password({[](HWND dialog) {
            ::SetWindowTextW(::FindWindowExW(dialog, nullptr, L"Edit", nullptr), L"master");
            ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        }});
        kelvo::CipherKey cached;
        ASSERT_TRUE(m_app.ObtainDataKey(nullptr, cached));
    }
    m_app.CurrentSettings().paste_on_dblclick = 0; // a double click edits
    Run({[&](CPropDlg& dialog) {
             dialog.OnEvent(&List(dialog, L"lst_items"), L"customlst-dblclick", 3, 0);
         },
         [](CPropDlg&) {
             HWND editor = DialogScript::FrontDialog();
             EXPECT_EQ(::SendMessageW(EncryptBox(editor), BM_GETCHECK, 0, 0), BST_CHECKED);
             const auto rich = ChildrenOf(editor, L"RichEdit20W");
             ASSERT_EQ(rich.size(), 1u);
             wchar_t text[64] = {};
             ::GetWindowTextW(rich.front(), text, 64);
             EXPECT_STREQ(text, L"line one\r\nline two") << "shown with a line break";
             ::SendMessageW(EncryptBox(editor), BM_SETCHECK, BST_UNCHECKED, 0);
             ::SendMessageW(editor, WM_COMMAND, IDOK, 0);
         },
         [this](CPropDlg&) {
             const auto& stored = *m_app.Chunks().Chunks().at(2);
             EXPECT_FALSE(stored.encrypted);
             EXPECT_EQ(stored.text, L"line one\r\nline two");
             EXPECT_EQ(m_app.Chunks().Chunks().size(), 4u) << "under the same id";
         }});
}

TEST_F(PropDlgTest, TheEditorOpensWhereItWasAndSavesOnlyWithATitleAndAText) {
    WriteSettings("<kelvo><settings show-onstart=\"0\"/>"
                  "<edit-chunk-window left=\"100\" top=\"50\"/></kelvo>");
    HWND editor = nullptr;
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
         },
         [&](CPropDlg&) {
             editor = DialogScript::FrontDialog();
             RECT rect{};
             ::GetWindowRect(editor, &rect);
             EXPECT_EQ(rect.left, 100);
             EXPECT_EQ(rect.top, 50);
             EXPECT_FALSE(::IsWindowEnabled(EncryptBox(editor))) << "no master password";
             EXPECT_TRUE(
                 ::IsWindowEnabled(::FindWindowExW(editor, nullptr, L"Button", L"Select...")))
                 << "the library has tags";
             FillEditor(L"", L"", L"text without a title");
             ::SendMessageW(editor, WM_COMMAND, IDOK, 0);
         },
         [&](CPropDlg&) {
             EXPECT_EQ(DialogScript::FrontDialog(), editor) << "kept open";
             EXPECT_EQ(SettingsFile().find("edit-chunk-window left=\"100\" top=\"50\" width"),
                       std::string::npos)
                 << "no placement saved yet";
             ::SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
         },
         [this](CPropDlg&) {
             EXPECT_EQ(m_app.Chunks().Chunks().size(), 4u);
             EXPECT_NE(SettingsFile().find("edit-chunk-window left=\"100\" top=\"50\" width"),
                       std::string::npos)
                 << SettingsFile();
         }});
}

TEST_F(PropDlgTest, WithoutTagsInTheLibraryTheEditorOffersNoneToSelect) {
    for (const auto& [id, chunk] : m_app.Chunks().Chunks())
        chunk->tags.clear();
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
         },
         [](CPropDlg&) {
             HWND editor = DialogScript::FrontDialog();
             EXPECT_FALSE(
                 ::IsWindowEnabled(::FindWindowExW(editor, nullptr, L"Button", L"Select...")));
             ::SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
         }});
}

// Chooses the n-th item (from 0) of the popup menu that is open.
void ChooseMenuItem(int n) {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    ASSERT_NE(menu, nullptr) << "a menu is open";
    for (int i = 0; i <= n; ++i)
        ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(PropDlgTest, TheEditorsMenusInsertATokenThatUndoTakesBackAndAppendATag) {
    HWND editor = nullptr;
    HWND text = nullptr;
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
         },
         [&](CPropDlg&) {
             editor = DialogScript::FrontDialog();
             FillEditor(L"Title", L"work", L"my name here");
             text = ChildrenOf(editor, L"RichEdit20W").front();
             ::SendMessageW(text, EM_EMPTYUNDOBUFFER, 0, 0);
             ::SendMessageW(text, EM_SETSEL, 3, 7); // "name"
             ::PostMessageW(::FindWindowExW(editor, nullptr, L"Button", L"&Insert Key"), BM_CLICK,
                            0, 0);
         },
         [](CPropDlg&) { ChooseMenuItem(5); }, // "[ENTER]", the sixth token
         [&](CPropDlg&) {
             wchar_t shown[64] = {};
             ::GetWindowTextW(text, shown, 64);
             EXPECT_STREQ(shown, L"my [ENTER] here");
             ::SendMessageW(text, EM_UNDO, 0, 0);
             ::GetWindowTextW(text, shown, 64);
             EXPECT_STREQ(shown, L"my name here");
             ::PostMessageW(::FindWindowExW(editor, nullptr, L"Button", L"Select..."), BM_CLICK, 0,
                            0);
         },
         [](CPropDlg&) { ChooseMenuItem(1); }, // "Work", "mail", "private", "work"
         [&](CPropDlg&) {
             wchar_t tags[64] = {};
             ::GetWindowTextW(ChildrenOf(editor, L"Edit")[1], tags, 64);
             EXPECT_STREQ(tags, L"work;mail");
             ::SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
         }});
}

TEST_F(PropDlgTest, TheTextLabelsMnemonicGoesToTheTextNotToTheInsertKeyButton) {
    HWND editor = nullptr;
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
         },
         [&](CPropDlg&) {
             editor = DialogScript::FrontDialog();
             // Alt+H, as the dialog's message loop receives it.
             ::PostMessageW(::GetFocus(), WM_SYSCHAR, L'h', 1 << 29);
         },
         [&](CPropDlg&) {
             if (HWND menu = ::FindWindowW(L"#32768", nullptr)) {
                 ADD_FAILURE() << "the Insert Key menu opened";
                 ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
             }
             EXPECT_EQ(::GetFocus(), ChildrenOf(editor, L"RichEdit20W").front());
             ::SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
         }});
}

TEST_F(PropDlgTest, TheLabelsMnemonicsGoToTheirOwnControlsWhichTheyName) {
    Run({[](CPropDlg& dialog) {
             ::SetFocus(dialog.FindById(L"find")->Hwnd());
             ::PostMessageW(::GetFocus(), WM_SYSCHAR, L'c', 1 << 29);
         },
         [](CPropDlg& dialog) {
             EXPECT_EQ(::GetFocus(), dialog.FindById(L"lst_items")->Hwnd()) << "Alt+C";
             ::PostMessageW(::GetFocus(), WM_SYSCHAR, L't', 1 << 29);
         },
         [](CPropDlg& dialog) {
             EXPECT_EQ(::GetFocus(), dialog.FindById(L"lst_tags")->Hwnd()) << "Alt+T";
             for (const auto& [id, name] :
                  {std::pair{L"lst_tags", L"Tags:"}, std::pair{L"lst_items", L"Chunks:"},
                   std::pair{L"find", L"Find:"}}) {
                 kelvo::ComPtr<IAccessible> list;
                 ASSERT_HRESULT_SUCCEEDED(::AccessibleObjectFromWindow(
                     dialog.FindById(id)->Hwnd(), OBJID_CLIENT, IID_IAccessible, list.PutVoid()));
                 kelvo::UniqueVariant self;
                 self.Get()->vt = VT_I4;
                 self.Get()->lVal = CHILDID_SELF;
                 kelvo::UniqueBstr text;
                 ASSERT_HRESULT_SUCCEEDED(list->get_accName(*self.Get(), text.Put()));
                 EXPECT_EQ(text.View(), name);
             }
         }});
}

// The texts of the popup menu that is open, "*" before its default item;
// then the menu is dismissed.
std::vector<std::wstring> OpenMenuItems() {
    std::vector<std::wstring> items;
    HWND window = ::FindWindowW(L"#32768", nullptr);
    const auto menu =
        window ? reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0)) : nullptr;
    if (!menu)
        return items;
    const UINT default_item = ::GetMenuDefaultItem(menu, FALSE, 0);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        const bool is_default = ::GetMenuItemID(menu, i) == default_item;
        items.push_back((is_default ? L"*" : L"") + std::wstring(text));
    }
    ::PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    return items;
}

TEST_F(PropDlgTest, MenusShowForgetPasswordOnlyWhileCachedAndTheDoubleClickActionInBold) {
    Strings configuration;
    Strings chunk_menu;
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.FindById(L"btn-wrench")->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
             ::PostMessageW(dialog.FindById(L"btn-wrench")->Hwnd(), WM_LBUTTONUP, 0, 0);
         },
         [&](CPropDlg&) { configuration = OpenMenuItems(); },
         [&](CPropDlg& dialog) {
             m_app.CurrentSettings().paste_on_dblclick = 0;
             ::PostMessageW(List(dialog, L"lst_items").Hwnd(), WM_CONTEXTMENU,
                            reinterpret_cast<WPARAM>(List(dialog, L"lst_items").Hwnd()), -1);
         },
         [&](CPropDlg&) { chunk_menu = OpenMenuItems(); }});
    EXPECT_EQ(configuration, (Strings{L"Settings...", L"Master password...", L"", L"About Kelvo...",
                                      L"", L"Exit"}))
        << "no Forget password without a cached key, and no website without a home page";
    EXPECT_EQ(chunk_menu, (Strings{L"*Edit...", L"Paste", L"", L"Delete"}));

    // With the data key remembered, it can be forgotten from the menu.
    kelvo::CipherKey key;
    ASSERT_TRUE(MakeDataKey(key));
    ASSERT_TRUE(StoreDataKey(L"master", key));
    {
        DialogScript password({[](HWND dialog) {
            ::SetWindowTextW(::FindWindowExW(dialog, nullptr, L"Edit", nullptr), L"master");
            ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        }});
        ASSERT_TRUE(m_app.ObtainDataKey(nullptr, key));
    }
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.FindById(L"btn-wrench")->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
             ::PostMessageW(dialog.FindById(L"btn-wrench")->Hwnd(), WM_LBUTTONUP, 0, 0);
         },
         [&](CPropDlg&) { configuration = OpenMenuItems(); }});
    EXPECT_EQ(configuration, (Strings{L"Settings...", L"Master password...", L"",
                                      L"Forget password", L"", L"About Kelvo...", L"", L"Exit"}));
}

TEST_F(PropDlgTest, EscapeAndEnterInTheFindBoxLeaveItOpen) {
    Run({[](CPropDlg& dialog) { ::SendMessageW(dialog.Hwnd(), WM_COMMAND, IDCANCEL, 0); },
         [](CPropDlg& dialog) {
             EXPECT_TRUE(::IsWindowVisible(dialog.Hwnd()));
             // Enter pastes the current chunk (into whatever window the
             // tracking found, or a message says there is none).
             ::PostMessageW(dialog.Hwnd(), WM_COMMAND, IDOK, 0);
         },
         [](CPropDlg& dialog) {
             if (HWND message = DialogScript::FrontDialog(); message != dialog.Hwnd())
                 ::SendMessageW(message, WM_COMMAND, IDOK, 0);
         },
         [](CPropDlg& dialog) { EXPECT_TRUE(::IsWindowVisible(dialog.Hwnd())); }});
}

TEST_F(PropDlgTest, DeletingTheCurrentChunkKeepsTheTagAndSelectsTheFirstLeft) {
    Run({[](CPropDlg& dialog) {
             SelectTag(dialog, L"work");
             List(dialog, L"lst_items").SelectItem(1); // "Reply"
             ASSERT_EQ(Selected(dialog), 4);
             ::PostMessageW(List(dialog, L"lst_items").Hwnd(), WM_KEYDOWN, VK_DELETE, 0);
         },
         [](CPropDlg&) {
             HWND question = DialogScript::FrontDialog();
             EXPECT_NE(wyn_test::MessageBoxText(question).find(L"'Reply'"), std::wstring::npos);
             ::SendMessageW(question, WM_COMMAND, IDYES, 0);
         },
         [this](CPropDlg& dialog) {
             EXPECT_EQ(m_app.Chunks().Chunks().count(4), 0u);
             EXPECT_EQ(dialog.SelectedTagName(), L"work");
             EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Signature"}));
             EXPECT_EQ(Selected(dialog), 3);
         }});
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

TEST_F(PropDlgTest, ChangesMadeElsewhereShowLiveAndNeverCostWhatIsTyped) {
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

TEST_F(PropDlgTest, AConflictCopyIsOfferedMergedAndRenamed) {
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
