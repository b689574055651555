#include "ui/browser/prop_dlg.h"

#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/com.h"
#include "library/master_password.h"
#include "library/portable_data_test.h"
#include "library/test_files.h"
#include "ui/browser/browser_app.h"
#include "ui/browser/browser_test.h"
#include "ui/custom_list.h"
#include "ui/drawn_test.h"
#include "wyn/testing/dialog_script.h"

using namespace browser_test;
using wyn_test::DialogScript;

namespace {

// The application as the chunk browser uses it, with what it was asked to do.
class CFakeBrowserApp : public CBrowserApp {
public:
    CChunkStore& Chunks() override { return chunks; }
    kelvo::CChunkFinder& Finder() override { return finder; }
    CkvWynEngine& Engine() override { return engine; }
    CLibraryChanges& LibraryChanges() override { return changes; }
    bool PasteOnDoubleClick() const override { return paste_on_dblclick; }
    // The remembered key, if any; without one the user cancels.
    bool ObtainDataKey(HWND, kelvo::CipherKey& key) override {
        if (!data_key)
            return false;
        key = *data_key;
        return true;
    }
    bool IsPasswordCached() const override { return data_key.has_value(); }
    void ForgetPassword() override { data_key.reset(); }
    const kelvo::TargetWindow& PasteTarget() const override { return target; }
    void ChoosePasteTarget(HWND window) override { target = kelvo::DescribeTarget(window); }
    bool Paste(kelvo::CPasteHost&, const text_chunk& chunk, PasteTrigger trigger) override {
        pastes.emplace_back(chunk.id, trigger);
        if (while_pasting) {
            // As long as the password dialog is open: held here too, for its
            // count to tell whether anyone else still holds it.
            const kelvo::Ref<text_chunk> held(const_cast<text_chunk*>(&chunk));
            while_pasting();
            held_elsewhere = held->Refs() > 1;
            pasted_title = held->title;
        }
        return true;
    }
    // The file the user would pick; none: cancelled.
    std::optional<std::wstring> ChooseChunkFile(HWND, ChunkFileDialog kind) override {
        file_dialogs.push_back(kind);
        return chosen_file;
    }
    void EditSettings(HWND) override {}
    void ShowAbout(HWND) override {}
    const wchar_t* HomePage() const override { return L""; }

    CkvWynEngine engine{::GetModuleHandleW(nullptr)};
    CChunkStore chunks;
    kelvo::CChunkFinder finder{chunks};
    CLibraryChanges changes;
    bool paste_on_dblclick = true;
    std::optional<kelvo::CipherKey> data_key;
    kelvo::TargetWindow target;
    std::vector<std::pair<int, PasteTrigger>> pastes; // chunk ids
    // Runs in the paste, where the password dialog's modal loop would.
    std::function<void()> while_pasting;
    bool held_elsewhere = false;
    std::wstring pasted_title;
    std::optional<std::wstring> chosen_file;
    std::vector<ChunkFileDialog> file_dialogs;
};

// The chunk browser on a small library, driven by a script.
class PropDlgTest : public PortableDataTest {
protected:
    void SetUp() override {
        PortableDataTest::SetUp();
        WriteChunks("<kelvo><chunks>"
                    "<chunk id=\"1\" title=\"Home address\" tags=\"private\">Main Street</chunk>"
                    "<chunk id=\"2\" title=\"Signature\" tags=\"work;mail\">Regards</chunk>"
                    "<chunk id=\"3\" title=\"Agenda\" tags=\"Work\">Items</chunk>"
                    "<chunk id=\"4\" title=\"Reply\" tags=\"work\">Thanks</chunk>"
                    "</chunks></kelvo>");
        m_app.chunks.LoadChunks();
    }

    // Opens the chunk browser and runs the steps in it, each given the
    // browser; the last step closes it with the close box. Checks that all ran.
    void Run(std::vector<std::function<void(CPropDlg&)>> steps) {
        CPropDlg dialog(m_app);
        std::vector<DialogScript::Step> script;
        for (auto& step : steps)
            script.push_back([&dialog, step](HWND) { step(dialog); });
        script.push_back([](HWND window) { ::PostMessageW(window, WM_CLOSE, 0, 0); });
        DialogScript runner(std::move(script));
        // The close box ends the dialog the way the dialog's own loop does.
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
        EXPECT_TRUE(runner.Finished());
    }

    // Another writer's library, read as the live reload does.
    void ChangedElsewhere(const std::string& library) {
        WriteChunks(library);
        m_app.chunks.Reload();
        m_app.changes.Notify();
    }

    CFakeBrowserApp m_app;
};

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
        // The toolbar reaches the window's left, top and right edges.
        RECT client{}, first{}, last{};
        ::GetClientRect(dialog.Hwnd(), &client);
        ::GetWindowRect(dialog.FindById(L"btn-new")->Hwnd(), &first);
        ::GetWindowRect(dialog.FindById(L"btn-wrench")->Hwnd(), &last);
        ::MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&first), 2);
        ::MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&last), 2);
        EXPECT_EQ(first.left, 0);
        EXPECT_EQ(first.top, 0);
        EXPECT_EQ(last.right, client.right);
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

TEST_F(PropDlgTest, WithoutPasteOnDoubleClickEnterAndDoubleClickEditTheChunk) {
    m_app.paste_on_dblclick = false;
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

// The text the list's own tip would show for the row: the whole tag name or
// chunk title when the row shows it shortened.
std::wstring TipOf(CPropDlg& dialog, int row, const wchar_t* list = L"lst_tags") {
    std::wstring tip;
    dialog.OnEvent(&List(dialog, list), L"customlst-gettip", static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&tip));
    return tip;
}

TEST_F(PropDlgTest, TheTagListFitsItsNamesAndANarrowedOneShortensTheNameBeforeTheCount) {
    const std::string long_tag = "a-tag-name-much-longer-than-any-list-shows";
    std::string xml = "<kelvo><chunks>";
    for (int i = 1; i <= 120; ++i)
        xml += "<chunk id=\"" + std::to_string(i) + "\" title=\"" +
               (i == 1 ? "A title much longer than a chunk row shows on one line" : "t") +
               std::to_string(i) + "\" tags=\"correspondence;" + (i == 1 ? long_tag : "x") +
               "\">text</chunk>";
    WriteChunks(xml + "</chunks></kelvo>");
    m_app.chunks.LoadChunks();
    Run({[](CPropDlg& dialog) {
             ASSERT_EQ(Tags(dialog),
                       (Strings{L"all chunks:120", L"a-tag-name-much-longer-than-any-list-shows:1",
                                L"correspondence:120", L"x:119"}));
             // Whole, with their three-digit counts; the name past the cap is
             // shortened and has its tip.
             EXPECT_EQ(TipOf(dialog, 0), L"");
             EXPECT_EQ(TipOf(dialog, 1), L"a-tag-name-much-longer-than-any-list-shows");
             EXPECT_EQ(TipOf(dialog, 2), L"");
             // So does a chunk title.
             EXPECT_EQ(TipOf(dialog, 0, L"lst_items"),
                       L"A title much longer than a chunk row shows on one line1");
             EXPECT_EQ(TipOf(dialog, 1, L"lst_items"), L"");
             EXPECT_TRUE(ui_test::SaveShot(dialog.Hwnd(), L"main-window-fitted-tags"));
             dialog.FindById(L"vsplitter")->SetIntValue(::MulDiv(90, dialog.GetDpi(), 96));
         },
         [](CPropDlg& dialog) {
             CWynCustomList& tags = List(dialog, L"lst_tags");
             const kelvo::WindowDc dc(tags.Hwnd());
             const kelvo::SelectedObject font(dc.Get(), tags.GetFont());
             SIZE count{};
             ::GetTextExtentPoint32W(dc.Get(), L"120", 3, &count);
             RECT client{};
             ::GetClientRect(tags.Hwnd(), &client);
             const auto parts =
                 kelvo::LayoutTagRow(dc.Get(), tags.GetDpi(), client, dialog.TagRows()[2]);
             EXPECT_TRUE(parts.name_cut);
             EXPECT_GE(parts.count.right - parts.count.left, count.cx) << "the count whole";
             EXPECT_EQ(TipOf(dialog, 2), L"correspondence");
             // The pointer over the row: the list's tip carries the whole name.
             const RECT row = tags.ItemRect(2);
             ::SendMessageW(tags.Hwnd(), WM_MOUSEMOVE, 0,
                            MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2));
             std::vector<std::wstring> tips; // of the tools over the tag list
             for (HWND tip = nullptr;
                  (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
                 wchar_t text[80] = {};
                 TOOLINFOW tool{};
                 tool.cbSize = sizeof tool;
                 tool.lpszText = text;
                 for (UINT i = 0;
                      ::SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)); ++i)
                     if (tool.hwnd == tags.Hwnd())
                         tips.emplace_back(text);
             }
             EXPECT_EQ(tips, Strings{L"correspondence"});
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
    m_app.data_key = key;            // remembered: the editor opens at once
    m_app.paste_on_dblclick = false; // a double click edits
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

TEST_F(PropDlgTest, TheEditorFirstShowsEightLinesOfSixtyCharactersAndASavedSizeWins) {
    // The text's face at the test's DPI, measured apart from the editor.
    LOGFONTW face{};
    face.lfHeight = -::MulDiv(16, static_cast<int>(::GetDpiForSystem()), 96);
    face.lfPitchAndFamily = FIXED_PITCH;
    wcscpy_s(face.lfFaceName, L"Courier New");
    const kelvo::UniqueHfont font(::CreateFontIndirectW(&face));
    TEXTMETRICW metrics{};
    {
        const kelvo::WindowDc dc(nullptr);
        const kelvo::SelectedObject selected(dc.Get(), font.Get());
        ::GetTextMetricsW(dc.Get(), &metrics);
    }
    for (const bool saved : {false, true}) {
        WriteSettings(saved ? "<kelvo><settings/><edit-chunk-window left=\"20\" top=\"30\" "
                              "width=\"760\" height=\"320\"/></kelvo>"
                            : "<kelvo><settings/></kelvo>");
        Run({[](CPropDlg& dialog) {
                 ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'n', MF_SYSMENU), 0);
             },
             [&](CPropDlg&) {
                 HWND editor = DialogScript::FrontDialog();
                 RECT window{}, text{};
                 ::GetWindowRect(editor, &window);
                 ::SendMessageW(ChildrenOf(editor, L"RichEdit20W").front(), EM_GETRECT, 0,
                                reinterpret_cast<LPARAM>(&text));
                 if (saved) {
                     // Wider, but less tall than the first size.
                     EXPECT_EQ(window.right - window.left, 760);
                     EXPECT_EQ(window.bottom - window.top, 320);
                 } else {
                     EXPECT_GE(text.bottom - text.top, 8 * metrics.tmHeight);
                     EXPECT_GE(text.right - text.left, 60 * metrics.tmAveCharWidth);
                     // Still one the user may make smaller.
                     MINMAXINFO limits{};
                     ::SendMessageW(editor, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
                     EXPECT_LT(limits.ptMinTrackSize.x, window.right - window.left);
                     EXPECT_LT(limits.ptMinTrackSize.y, window.bottom - window.top);
                 }
                 ::SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
             }});
    }
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

// The rows of the list drawn in the highlight colour, read from the screen
// at each visible row's top right corner, where no text reaches.
std::vector<int> HighlightedRows(CWynCustomList& list) {
    ::UpdateWindow(list.Hwnd());
    RECT client{};
    ::GetClientRect(list.Hwnd(), &client);
    const kelvo::WindowDc dc(list.Hwnd());
    std::vector<int> rows;
    for (int i = 0; i < list.ItemCount(); ++i) {
        const RECT row = list.ItemRect(i);
        if (row.bottom <= client.top || row.top >= client.bottom)
            continue;
        if (::GetPixel(dc.Get(), client.right - 2, row.top + 1) == ::GetSysColor(COLOR_HIGHLIGHT))
            rows.push_back(i);
    }
    return rows;
}

std::vector<int> SelectedRows(const CWynCustomList& list) {
    std::vector<int> rows;
    for (int i = 0; i < list.ItemCount(); ++i)
        if (list.IsSelected(i))
            rows.push_back(i);
    return rows;
}

TEST_F(PropDlgTest, HomeThenDownLeavesOneRowSelectedAndHighlighted) {
    for (const auto& [mnemonic, id] : {std::pair{L'c', L"lst_items"}, std::pair{L't', L"lst_tags"}})
        Run({[mnemonic](CPropDlg& dialog) {
                 ::SetFocus(dialog.FindById(L"find")->Hwnd());
                 ::PostMessageW(::GetFocus(), WM_SYSCHAR, mnemonic, 1 << 29);
             },
             [id](CPropDlg& dialog) {
                 ASSERT_EQ(::GetFocus(), dialog.FindById(id)->Hwnd());
                 wyn_test::TypeKeys(L"", {VK_HOME, VK_DOWN});
             },
             [id](CPropDlg& dialog) {
                 CWynCustomList& list = List(dialog, id);
                 EXPECT_EQ(list.CurrentIndex(), 1) << id;
                 EXPECT_EQ(SelectedRows(list), std::vector<int>{1}) << id;
                 EXPECT_EQ(HighlightedRows(list), std::vector<int>{1}) << id;
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
             m_app.paste_on_dblclick = false;
             ::PostMessageW(List(dialog, L"lst_items").Hwnd(), WM_CONTEXTMENU,
                            reinterpret_cast<WPARAM>(List(dialog, L"lst_items").Hwnd()), -1);
         },
         [&](CPropDlg&) { chunk_menu = OpenMenuItems(); }});
    EXPECT_EQ(configuration,
              (Strings{L"Settings...", L"Master password...", L"", L"Import chunks...",
                       L"Export chunks...", L"", L"About Kelvo...", L"", L"Exit"}))
        << "no Forget password without a cached key, and no website without a home page";
    EXPECT_EQ(chunk_menu, (Strings{L"*Edit...", L"Paste", L"", L"Delete"}));

    // With the data key remembered, it can be forgotten from the menu.
    m_app.data_key = kelvo::CipherKey{};
    Run({[](CPropDlg& dialog) {
             ::PostMessageW(dialog.FindById(L"btn-wrench")->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
             ::PostMessageW(dialog.FindById(L"btn-wrench")->Hwnd(), WM_LBUTTONUP, 0, 0);
         },
         [&](CPropDlg&) { configuration = OpenMenuItems(); }});
    EXPECT_EQ(configuration, (Strings{L"Settings...", L"Master password...", L"",
                                      L"Forget password", L"", L"Import chunks...",
                                      L"Export chunks...", L"", L"About Kelvo...", L"", L"Exit"}));
}

TEST_F(PropDlgTest, EscapeAndEnterInTheFindBoxLeaveItOpen) {
    Run({[](CPropDlg& dialog) { ::SendMessageW(dialog.Hwnd(), WM_COMMAND, IDCANCEL, 0); },
         [](CPropDlg& dialog) {
             EXPECT_TRUE(::IsWindowVisible(dialog.Hwnd()));
             // Enter pastes the current chunk, "Agenda", as the Enter key asks.
             ::PostMessageW(dialog.Hwnd(), WM_COMMAND, IDOK, 0);
         },
         [this](CPropDlg& dialog) {
             EXPECT_EQ(m_app.pastes,
                       (std::vector<std::pair<int, PasteTrigger>>{{3, PasteTrigger::kEnterKey}}));
             EXPECT_TRUE(::IsWindowVisible(dialog.Hwnd()));
         }});
}

TEST_F(PropDlgTest, DeletingTheCurrentChunkKeepsTheTagAndSelectsTheFirstLeft) {
    Run({[](CPropDlg& dialog) {
             SelectTag(dialog, L"work");
             List(dialog, L"lst_items").SelectItem(2); // "Signature"
             ASSERT_EQ(Selected(dialog), 2);
             ::PostMessageW(List(dialog, L"lst_items").Hwnd(), WM_KEYDOWN, VK_DELETE, 0);
         },
         [](CPropDlg&) {
             HWND question = DialogScript::FrontDialog();
             EXPECT_NE(wyn_test::MessageBoxText(question).find(L"'Signature'"), std::wstring::npos);
             ::SendMessageW(question, WM_COMMAND, IDYES, 0);
         },
         [this](CPropDlg& dialog) {
             EXPECT_EQ(m_app.Chunks().Chunks().count(2), 0u);
             // Its other tag went with it: the tag's row moved up.
             EXPECT_EQ(Tags(dialog),
                       (Strings{L"all chunks:3", L"Work:1", L"private:1", L"work:1"}));
             EXPECT_EQ(dialog.SelectedTagName(), L"work");
             EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Reply"}));
             EXPECT_EQ(Selected(dialog), 3);
         }});
}

TEST_F(PropDlgTest, AnEditKeepsTheTagWhoseRowMoved) {
    m_app.paste_on_dblclick = false;
    Run({[](CPropDlg& dialog) {
             SelectTag(dialog, L"work");
             List(dialog, L"lst_items").SelectItem(1); // "Reply"
             dialog.OnEvent(dialog.FindById(L"btn-edit"), L"clicked", 0, 0);
         },
         [](CPropDlg&) {
             HWND editor = DialogScript::FrontDialog();
             const auto edits = ChildrenOf(editor, L"Edit");
             ASSERT_EQ(edits.size(), 2u);
             // A tag that sorts before the selected one.
             ::SetWindowTextW(edits[1], L"work;aside");
             ::SendMessageW(editor, WM_COMMAND, IDOK, 0);
         },
         [](CPropDlg& dialog) {
             EXPECT_EQ(Tags(dialog), (Strings{L"all chunks:4", L"Work:1", L"aside:1", L"mail:1",
                                              L"private:1", L"work:2"}));
             EXPECT_EQ(dialog.SelectedTagName(), L"work");
             EXPECT_EQ(Selected(dialog), 4);
         }});
}

// The library read again while the delete question is open: another writer
// added a chunk that sorts before the one asked about, or changed that one.
TEST_F(PropDlgTest, ADeleteActsOnlyOnTheChunkAsTheQuestionShowedIt) {
    const std::string head = "<kelvo><chunks>"
                             "<chunk id=\"1\" title=\"Alpha\">a</chunk>"
                             "<chunk id=\"3\" title=\"Charlie\">c</chunk>";
    const struct {
        const char* name;
        std::string meanwhile;
        std::vector<int> ids_after;
        bool told;
    } cases[] = {
        {"a chunk added",
         head + "<chunk id=\"2\" title=\"Bravo\">b</chunk></chunks></kelvo>",
         {1, 2},
         false},
        {"the chunk changed",
         "<kelvo><chunks><chunk id=\"1\" title=\"Alpha\">a</chunk>"
         "<chunk id=\"3\" title=\"Charlie\">changed</chunk></chunks></kelvo>",
         {1, 3},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteChunks(head + "</chunks></kelvo>");
        m_app.chunks.LoadChunks();
        std::wstring told;
        std::vector<std::function<void(CPropDlg&)>> steps = {
            [](CPropDlg& dialog) {
                List(dialog, L"lst_items").SelectItem(1); // "Charlie"
                dialog.OnEvent(dialog.FindById(L"btn-delete"), L"clicked", 0, 0);
            },
            [&](CPropDlg&) {
                HWND question = DialogScript::FrontDialog();
                EXPECT_NE(wyn_test::MessageBoxText(question).find(L"'Charlie'"),
                          std::wstring::npos);
                ChangedElsewhere(c.meanwhile);
                ::SendMessageW(question, WM_COMMAND, IDYES, 0);
            }};
        if (c.told)
            steps.push_back([&](CPropDlg&) {
                HWND box = DialogScript::FrontDialog();
                told = wyn_test::MessageBoxText(box);
                ::SendMessageW(box, WM_COMMAND, IDOK, 0);
            });
        steps.push_back([&](CPropDlg&) {
            std::vector<int> ids;
            for (const auto& [id, chunk] : m_app.chunks.Chunks())
                ids.push_back(id);
            EXPECT_EQ(ids, c.ids_after);
            EXPECT_EQ(ChunksFile().find("Charlie\">c<"), std::string::npos) << ChunksFile();
        });
        Run(std::move(steps));
        EXPECT_EQ(told.find(L"'Charlie'") != std::wstring::npos, c.told) << told;
    }
}

// A reload while the password is asked for replaces the chunk being pasted:
// the paste still has it, as it was shown.
TEST_F(PropDlgTest, APastedChunkStaysAliveWhileThePasswordIsAskedFor) {
    const struct {
        const char* name;
        std::function<void(CPropDlg&)> paste;
    } cases[] = {
        {"the paste button",
         [](CPropDlg& dialog) { dialog.OnEvent(dialog.FindById(L"paste"), L"clicked", 0, 0); }},
        {"Enter in the find box",
         [](CPropDlg& dialog) { ::SendMessageW(dialog.Hwnd(), WM_COMMAND, IDOK, 0); }},
    };
    const std::string library = ChunksFile();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteChunks(library);
        m_app.chunks.LoadChunks();
        // Encrypted chunks are the ones the password is asked for, and the
        // lists keep no measure of them.
        m_app.chunks.Chunks().at(3)->encrypted = true;
        const text_chunk* shown = m_app.chunks.Chunks().at(3).Get();
        m_app.while_pasting = [this] {
            std::string file = ChunksFile();
            file.replace(file.find(">Items<"), 7, ">Other items<");
            ChangedElsewhere(file);
        };
        m_app.held_elsewhere = false;
        Run({[&](CPropDlg& dialog) {
            ASSERT_EQ(Selected(dialog), 3); // "Agenda"
            c.paste(dialog);
            EXPECT_NE(m_app.chunks.Chunks().at(3).Get(), shown) << "replaced by the reload";
            EXPECT_TRUE(m_app.held_elsewhere) << "the chunk pasted was let go";
            EXPECT_EQ(m_app.pasted_title, L"Agenda");
        }});
    }
}

TEST_F(PropDlgTest, TheLibrarysChangesFromElsewhereShowWhileItIsOpen) {
    Run({[this](CPropDlg& dialog) {
        SelectTag(dialog, L"work");
        auto chunk = kelvo::MakeRef<text_chunk>();
        chunk->title = L"Address";
        chunk->tags = {L"work"};
        m_app.chunks.PutChunk(chunk);
        EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Reply", L"Signature"})) << "not told yet";
        m_app.changes.Notify();
        EXPECT_EQ(Titles(dialog), (Strings{L"Address", L"Agenda", L"Reply", L"Signature"}));
        EXPECT_EQ(dialog.SelectedTagName(), L"work");
    }});
}

// Alt+E opens the configuration menu; the n-th item (from 0, separators
// skipped) is chosen in the next step.
void OpenConfigurationMenu(CPropDlg& dialog) {
    ::PostMessageW(dialog.Hwnd(), WM_MENUCHAR, MAKEWPARAM(L'e', MF_SYSMENU), 0);
}
constexpr int kImportItem = 2; // Settings, Master password, Import, Export, ...
// With the password remembered, "Forget password" comes before them.
constexpr int kExportItemPasswordKept = 4;

// The message box in front: its text, then answered with `button`.
std::wstring Answer(int button) {
    HWND box = DialogScript::FrontDialog();
    const std::wstring text = wyn_test::MessageBoxText(box);
    ::SendMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return text;
}

class TransferTest : public PropDlgTest {
protected:
    void TearDown() override {
        ::DeleteFileW(m_file.c_str());
        PropDlgTest::TearDown();
    }
    // "id:title" of every chunk, by id.
    static std::wstring Listed(const CChunkStore& store) {
        std::wstring listed;
        for (const auto& [id, chunk] : store.Chunks())
            listed += (listed.empty() ? L"" : L" ") + std::to_wstring(id) + L":" + chunk->title;
        return listed;
    }

    std::wstring m_file = m_folder + L"transfer.csv";
};

TEST_F(TransferTest, AnImportShowsWhatItWillDoThenStoresTheNewChunksAndListsThem) {
    // As a spreadsheet program writes it: BOM, CR LF, a quoted multi-line field.
    test_files::Write(m_file, "\xEF\xBB\xBFTitle,Tags,Text\r\n"
                              "Reply,work,Thanks\r\n"                        // identical
                              "Signature,\"work;mail\",\"Best,\r\nSam\"\r\n" // beside
                              "Zebra,new,\"Line one\r\nline two\"\r\n");     // new
    m_app.chosen_file = m_file;
    std::wstring preview;
    Run({[](CPropDlg& dialog) { OpenConfigurationMenu(dialog); },
         [](CPropDlg&) { ChooseMenuItem(kImportItem); }, [&](CPropDlg&) { preview = Answer(IDOK); },
         [](CPropDlg& dialog) {
             EXPECT_EQ(Titles(dialog), (Strings{L"Agenda", L"Home address", L"Reply", L"Signature",
                                                L"Signature", L"Zebra"}));
         }});
    EXPECT_EQ(m_app.file_dialogs, std::vector<ChunkFileDialog>{ChunkFileDialog::kOpen});
    for (const wchar_t* told :
         {L"holds 3 chunks", L"1 new", L"1 identical", L"1 with the title", L"Import 2 chunks?"})
        EXPECT_NE(preview.find(told), std::wstring::npos) << told << " in\n" << preview;
    EXPECT_EQ(Listed(m_app.chunks), L"1:Home address 2:Signature 3:Agenda 4:Reply 5:Signature "
                                    L"6:Zebra");
    EXPECT_EQ(m_app.chunks.Chunks().at(6)->text, L"Line one\r\nline two");
    EXPECT_NE(ChunksFile().find("title=\"Zebra\""), std::string::npos) << "saved";

    // Cancelled at the preview, or a file the library holds: nothing stored.
    Run({[](CPropDlg& dialog) { OpenConfigurationMenu(dialog); },
         [](CPropDlg&) { ChooseMenuItem(kImportItem); },
         [&](CPropDlg&) { preview = Answer(IDOK); }});
    EXPECT_NE(preview.find(L"Nothing to import"), std::wstring::npos) << preview;
    EXPECT_EQ(m_app.chunks.Chunks().size(), 6u);
}

TEST_F(TransferTest, ABadFileIsRefusedWithItsFirstFaultAndNothingIsStored) {
    const std::string library = ChunksFile();
    const struct {
        std::string bytes;
        const wchar_t* told;
    } cases[] = {
        {"title,text\nA,one\nB,\"two\nC,three\n", L"Line 3, column 3: the quoted field"},
        {"{\"format\": \"kelvo-chunks\", \"version\": 1, \"chunks\": [\n  {\"tags\": \"x;y\"}]}",
         L"Line 2, column 16: a value of the wrong kind"},
        {"", L"The file is empty."},
        {std::string("PK\x03\x04\0\0", 6), L"The file is not text"},
    };
    for (const auto& c : cases) {
        test_files::Write(m_file, c.bytes);
        m_app.chosen_file = m_file;
        std::wstring told;
        Run({[](CPropDlg& dialog) { OpenConfigurationMenu(dialog); },
             [](CPropDlg&) { ChooseMenuItem(kImportItem); },
             [&](CPropDlg&) { told = Answer(IDOK); }});
        EXPECT_NE(told.find(c.told), std::wstring::npos) << told;
        EXPECT_NE(told.find(L"Nothing was imported."), std::wstring::npos) << told;
        EXPECT_EQ(ChunksFile(), library);
        EXPECT_EQ(m_app.chunks.Chunks().size(), 4u);
    }
}

TEST_F(TransferTest, AnExportTakesWhatTheSearchShowsOrAllAndSecretsOnlyWhenAskedInClear) {
    m_app.data_key = kelvo::CCipher().MakeKey(u"data key");
    auto secret = kelvo::MakeRef<text_chunk>(L"4711", L"Reply PIN");
    ASSERT_TRUE(secret->Encrypt(*m_app.data_key));
    m_app.chunks.PutChunk(secret);
    m_app.chosen_file = m_file;
    std::vector<std::wstring> told;
    auto answer = [&](int button) {
        return [&, button](CPropDlg&) { told.push_back(Answer(button)); };
    };

    // Only what the search shows ("re": Home address, Reply, Reply PIN,
    // Signature), the secret left out.
    Run({[](CPropDlg& dialog) {
             wyn_test::SetText(dialog, L"find", L"re");
             OpenConfigurationMenu(dialog);
         },
         [](CPropDlg&) { ChooseMenuItem(kExportItemPasswordKept); }, answer(IDYES), answer(IDNO),
         answer(IDOK)});
    ASSERT_EQ(told.size(), 3u);
    EXPECT_NE(told[0].find(L"only the 4 chunks the search shows"), std::wstring::npos) << told[0];
    EXPECT_NE(told[0].find(L"whole library (5 chunks)"), std::wstring::npos) << told[0];
    EXPECT_NE(told[1].find(L"readable by anyone"), std::wstring::npos) << told[1];
    EXPECT_NE(told[2].find(L"3 chunks were exported"), std::wstring::npos) << told[2];
    EXPECT_EQ(test_files::Read(m_file), "\xEF\xBB\xBFtitle,tags,text\r\n"
                                        "Home address,private,Main Street\r\n"
                                        "Reply,work,Thanks\r\n"
                                        "Signature,\"work;mail\",Regards\r\n");

    // The whole library, the secret in clear and marked as one.
    told.clear();
    m_app.chosen_file = m_folder + L"transfer.json";
    Run({[](CPropDlg& dialog) {
             wyn_test::SetText(dialog, L"find", L"re");
             OpenConfigurationMenu(dialog);
         },
         [](CPropDlg&) { ChooseMenuItem(kExportItemPasswordKept); }, answer(IDNO), answer(IDYES),
         answer(IDOK)});
    const std::string json = test_files::Read(*m_app.chosen_file);
    ::DeleteFileW(m_app.chosen_file->c_str());
    EXPECT_EQ(told.size(), 3u);
    for (const char* held : {"\"Agenda\"", "\"Home address\"", "\"text\": \"4711\"",
                             "\"encrypted\": true", "\"format\": \"kelvo-chunks\""})
        EXPECT_NE(json.find(held), std::string::npos) << held << " in\n" << json;

    // Cancelled in the file dialog: nothing written, nothing more asked.
    told.clear();
    m_app.chosen_file.reset();
    ::DeleteFileW(m_file.c_str());
    Run({[](CPropDlg& dialog) { OpenConfigurationMenu(dialog); },
         [](CPropDlg&) { ChooseMenuItem(kExportItemPasswordKept); }, answer(IDNO), answer(IDNO)});
    EXPECT_EQ(told.size(), 2u) << "the search, remembered, and the secret asked about";
    EXPECT_EQ(m_app.file_dialogs.size(), 3u);
    EXPECT_FALSE(test_files::Exists(m_file));
}

} // namespace
