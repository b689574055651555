#include "ui/autocomplete.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/utf16.h"
#include "paste/key_tokens.h"
#include "ui/drawn_test.h"
#include "wyn/testing/test_dialog.h"

namespace {

enum class Editor { kCode, kFind };

std::vector<std::wstring> KeyCodeItems() {
    std::vector<std::wstring> items;
    for (std::u16string_view item : kelvo::kBracketCompletions)
        items.emplace_back(kelvo::AsWide(item));
    return items;
}

// The edit window of a running dialog with its popup, and the user's hands.
struct Typing {
    wyn_test::ScriptedDialog& dialog;
    HWND edit;
    std::unique_ptr<CAutoCompletePopup>& popup;

    // Characters and keys as the keyboard posts them.
    void Type(std::wstring_view text) const {
        for (wchar_t c : text)
            ::PostMessageW(edit, WM_CHAR, c, 1);
    }
    void Press(UINT key, int times = 1) const {
        const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        for (int i = 0; i < times; ++i) {
            ::PostMessageW(edit, WM_KEYDOWN, key, 1 | static_cast<LPARAM>(scan) << 16);
            ::PostMessageW(edit, WM_KEYUP, key, 0xC0000001 | static_cast<LPARAM>(scan) << 16);
        }
    }
    std::wstring Text() const {
        wchar_t text[256] = {};
        ::GetWindowTextW(edit, text, 256);
        return text;
    }
    int Caret() const {
        DWORD start = 0;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return static_cast<int>(start);
    }
    // The selected item's text, empty for none.
    std::wstring Selected() const {
        return popup->Selected() >= 0 ? popup->Items()[popup->Selected()] : L"";
    }
    bool Open() const { return popup->IsOpen() && ::IsWindowVisible(popup->Popup()); }
};

using Step = std::function<void(const Typing&)>;

// A dialog with the key-code editor's rich edit, the find box and an accept
// button. Its first step gives `editor` the focus and the text "[" with the
// caret after it and opens that editor's kind of popup with `items`; then
// `steps` run, each after the messages the one before posted, and the dialog
// ends. Fails the test unless every step ran.
void RunTyping(Editor editor, std::vector<Step> steps,
               std::vector<std::wstring> items = KeyCodeItems(),
               std::vector<int>* close_reasons = nullptr) {
    wyn_test::InitPlatform();
    CkvWynEngine engine(wyn_test::Module());
    wyn_test::DescriptionFile file(LR"(<dialog>
        <rtf id="code" width="160" height="40"/>
        <textbox id="find"/>
        <button id="ok" label="OK" dlgType="accept"/>
    </dialog>)");
    std::unique_ptr<CAutoCompletePopup> popup;
    if (editor == Editor::kCode)
        popup = std::make_unique<CCodeAutoComplete>();
    else
        popup = std::make_unique<CAutoComplete>();
    wyn_test::ScriptedDialog dialog(file.Path(), &engine);
    dialog.allowClose = false;
    HWND edit = nullptr;
    dialog.steps.push_back([&](wyn_test::ScriptedDialog& d) {
        edit = d.Window(editor == Editor::kCode ? L"code" : L"find");
        ::SetFocus(edit);
        ::SetWindowTextW(edit, L"[");
        ::SendMessageW(edit, EM_SETSEL, 1, 1);
        EXPECT_TRUE(popup->Open(edit, std::move(items)));
    });
    for (Step& step : steps) {
        dialog.steps.push_back([&, step = std::move(step)](wyn_test::ScriptedDialog& d) {
            step(Typing{d, edit, popup});
        });
        // A turn for the characters that the keys posted make: they are
        // posted in their turn, after the next step's call.
        dialog.steps.push_back([](wyn_test::ScriptedDialog&) {});
    }
    dialog.steps.push_back([](wyn_test::ScriptedDialog& d) { ::EndDialog(d.Hwnd(), 5); });
    EXPECT_EQ(dialog.DoModal(nullptr), 5) << "the script ran to its end";
    if (close_reasons)
        *close_reasons = dialog.reasons;
}

class AutoCompleteTest : public ::testing::TestWithParam<Editor> {};

INSTANTIATE_TEST_SUITE_P(BothEditors, AutoCompleteTest,
                         ::testing::Values(Editor::kCode, Editor::kFind), [](const auto& info) {
                             return info.param == Editor::kCode ? "RichEdit" : "FindBox";
                         });

TEST_P(AutoCompleteTest, TypingSelectsTheFirstMatchAndEnterOrTabInsertsIt) {
    const struct {
        const wchar_t* typed;
        const wchar_t* selected;
        UINT key;
        const wchar_t* text;
    } cases[] = {
        {L"ta", L"TAB]", VK_RETURN, L"[TAB]"},  {L"F1", L"F1]", VK_RETURN, L"[F1]"},
        {L"F10", L"F10]", VK_RETURN, L"[F10]"}, {L"EN", L"ENTER]", VK_RETURN, L"[ENTER]"},
        {L"sl", L"SLEEP", VK_TAB, L"[SLEEP"},   {L"\\", L"\\", VK_TAB, L"[\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        RunTyping(GetParam(), {
                                  [&](const Typing& t) { t.Type(c.typed); },
                                  [&](const Typing& t) {
                                      EXPECT_EQ(t.Selected(), c.selected);
                                      t.Press(c.key);
                                  },
                                  [&](const Typing& t) {
                                      EXPECT_EQ(t.Text(), c.text);
                                      EXPECT_FALSE(t.Open());
                                      EXPECT_EQ(t.Caret(), static_cast<int>(t.Text().size()));
                                  },
                              });
    }
}

TEST_P(AutoCompleteTest, NoMatchSelectsNothingAndEnterInsertsNothing) {
    RunTyping(GetParam(), {
                              [](const Typing& t) { t.Type(L"q"); },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.popup->Selected(), -1);
                                  t.Press(VK_RETURN);
                                  t.Press(VK_TAB);
                              },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.Text(), L"[q");
                                  EXPECT_TRUE(t.Open()) << "stays open";
                                  t.Press(VK_ESCAPE);
                              },
                              [](const Typing& t) {
                                  EXPECT_FALSE(t.Open());
                                  EXPECT_EQ(t.Text(), L"[q");
                              },
                          });
}

TEST_P(AutoCompleteTest, ClosingCharactersOfEachKind) {
    // Space closes both kinds; "]" only the key-code editor's.
    const bool code = GetParam() == Editor::kCode;
    for (const wchar_t* typed : {L"t ", L"t]"}) {
        SCOPED_TRACE(typed);
        const bool closes = typed[1] == L' ' || code;
        RunTyping(GetParam(), {
                                  [&](const Typing& t) { t.Type(typed); },
                                  [&](const Typing& t) {
                                      EXPECT_EQ(t.Open(), !closes);
                                      EXPECT_EQ(t.Text(), std::wstring(L"[") + typed)
                                          << "the character is typed all the same";
                                  },
                              });
    }
}

TEST_P(AutoCompleteTest, BackspaceNarrowsAgainAndClosesAtTheStart) {
    RunTyping(GetParam(), {
                              [](const Typing& t) { t.Type(L"ta"); },
                              [](const Typing& t) { t.Press(VK_BACK); },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.Text(), L"[t");
                                  EXPECT_EQ(t.Selected(), L"TAB]");
                                  t.Press(VK_BACK);
                              },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.Text(), L"[");
                                  EXPECT_TRUE(t.Open());
                                  EXPECT_EQ(t.popup->Selected(), -1) << "nothing typed";
                                  t.Press(VK_BACK);
                              },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.Text(), L"");
                                  EXPECT_FALSE(t.Open());
                              },
                          });
}

TEST_P(AutoCompleteTest, ThirtyFiveItemsShowTenRowsAndScroll) {
    RunTyping(GetParam(), {
                              [](const Typing& t) {
                                  EXPECT_EQ(t.popup->VisibleRows(), 10);
                                  const LONG style = ::GetWindowLongW(t.popup->Popup(), GWL_STYLE);
                                  EXPECT_NE(style & WS_VSCROLL, 0) << "a scroll bar";
                                  EXPECT_EQ(t.Selected(), L"\\") << "the first item";
                                  t.Press(VK_DOWN, 10);
                              },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.popup->Selected(), 10);
                                  EXPECT_EQ(t.popup->Top(), 1) << "scrolled by one row";
                                  t.Press(VK_END);
                              },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.Selected(), L"SLEEP");
                                  EXPECT_EQ(t.popup->Top(), 25) << "in the last row";
                                  t.Press(VK_HOME);
                                  ::PostMessageW(t.edit, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
                              },
                              [](const Typing& t) {
                                  EXPECT_EQ(t.popup->Selected(), 0);
                                  EXPECT_EQ(t.popup->Top(), 1) << "the wheel scrolls";
                                  EXPECT_EQ(t.Text(), L"[") << "nothing typed by the keys";
                                  HWND popup = t.popup->Popup();
                                  ::SendMessageW(popup, WM_VSCROLL, SB_PAGEDOWN, 0);
                                  EXPECT_EQ(t.popup->Top(), 10);
                                  ::SendMessageW(popup, WM_VSCROLL, SB_PAGEDOWN, 0);
                                  ::SendMessageW(popup, WM_VSCROLL, SB_PAGEDOWN, 0);
                                  EXPECT_EQ(t.popup->Top(), 25) << "no further than the last row";
                                  ::SendMessageW(popup, WM_VSCROLL, SB_LINEUP, 0);
                                  EXPECT_EQ(t.popup->Top(), 24);
                                  EXPECT_EQ(t.popup->Selected(), 0) << "scrolling selects nothing";
                              },
                          });
}

TEST_P(AutoCompleteTest, ArrowsAcrossAndEscapeCloseWithoutMovingTheCaret) {
    for (UINT key : {VK_LEFT, VK_RIGHT, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        RunTyping(GetParam(), {
                                  [](const Typing& t) { t.Type(L"ta"); },
                                  [&](const Typing& t) { t.Press(key); },
                                  [](const Typing& t) {
                                      EXPECT_FALSE(t.Open());
                                      EXPECT_EQ(t.Caret(), 3);
                                      EXPECT_EQ(t.Text(), L"[ta");
                                  },
                              });
    }
}

TEST_P(AutoCompleteTest, FocusLossAndClicksInTheEditorClose) {
    const std::function<void(const Typing&)> closers[] = {
        [](const Typing& t) { ::SetFocus(t.dialog.Window(L"ok")); },
        [](const Typing& t) {
            ::PostMessageW(t.edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        },
        [](const Typing& t) {
            ::PostMessageW(t.edit, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
        },
    };
    for (const auto& close : closers) {
        RunTyping(GetParam(), {
                                  [](const Typing& t) { t.Type(L"ta"); },
                                  [&](const Typing& t) {
                                      ASSERT_TRUE(t.Open());
                                      close(t);
                                  },
                                  [](const Typing& t) {
                                      EXPECT_FALSE(t.Open());
                                      EXPECT_EQ(t.Text(), L"[ta") << "nothing inserted";
                                  },
                              });
    }
}

TEST_P(AutoCompleteTest, OpensUnderTheCaretWithoutTakingTheFocus) {
    RunTyping(GetParam(), {[](const Typing& t) {
                  EXPECT_EQ(::GetFocus(), t.edit);
                  EXPECT_EQ(::GetActiveWindow(), t.dialog.Hwnd());
                  RECT popup{};
                  RECT edit{};
                  ::GetWindowRect(t.popup->Popup(), &popup);
                  ::GetWindowRect(t.edit, &edit);
                  EXPECT_GT(popup.top, edit.top) << "below the line of the caret";
                  EXPECT_LT(popup.left, edit.left + 30) << "at the start of the line";
                  EXPECT_EQ(::SendMessageW(t.popup->Popup(), WM_MOUSEACTIVATE, 0, 0),
                            MA_NOACTIVATE);
                  wchar_t name[64] = {};
                  ::GetClassNameW(t.popup->Popup(), name, 64);
                  EXPECT_STREQ(name, L"CCODEAUTOCOMPLETE_WND");
                  EXPECT_TRUE(ui_test::SaveShot(t.popup->Popup(), GetParam() == Editor::kCode
                                                                      ? L"popup-rich-edit"
                                                                      : L"popup-find-box"));
              }});
}

TEST(AutoCompleteFindBoxTest, EnterTabAndEscapeStayInTheBoxWhileOpen) {
    std::vector<int> reasons;
    RunTyping(Editor::kFind,
              {
                  [](const Typing& t) { t.Type(L"q"); },
                  [](const Typing& t) {
                      t.Press(VK_RETURN);
                      t.Press(VK_TAB);
                  },
                  [](const Typing& t) {
                      EXPECT_TRUE(t.dialog.reasons.empty()) << "the dialog did not take Enter";
                      EXPECT_EQ(::GetFocus(), t.edit) << "Tab stayed in the box";
                      t.Press(VK_ESCAPE);
                  },
                  [](const Typing& t) {
                      EXPECT_FALSE(t.Open());
                      EXPECT_TRUE(t.dialog.reasons.empty()) << "nor Escape";
                      t.Press(VK_RETURN);
                  },
              },
              {L"work", L"home"}, &reasons);
    EXPECT_EQ(reasons, std::vector<int>{1}) << "closed, Enter is the dialog's again";
}

TEST(AutoCompleteLifetimeTest, PopupGoesWithTheEditWindowAndWithItsObject) {
    RunTyping(Editor::kCode, {
                                [](const Typing& t) {
                                    HWND popup = t.popup->Popup();
                                    t.popup.reset();
                                    EXPECT_FALSE(::IsWindow(popup)) << "the object took it along";
                                    t.Type(L"x ");
                                },
                                [](const Typing& t) {
                                    EXPECT_EQ(t.Text(), L"[x ") << "the edit control types alone";
                                    t.popup = std::make_unique<CCodeAutoComplete>();
                                    ASSERT_TRUE(t.popup->Open(t.edit, KeyCodeItems()));
                                    HWND popup = t.popup->Popup();
                                    ::DestroyWindow(t.edit);
                                    EXPECT_FALSE(t.popup->IsOpen());
                                    EXPECT_FALSE(::IsWindow(popup))
                                        << "closed with the edit window";
                                },
                            });
}

TEST(AutoCompleteAccessibilityTest, ScreenReadersSeeTheRowsAndTheSelection) {
    RunTyping(
        Editor::kFind,
        {
            [](const Typing& t) {
                const auto object = ui_test::AccessibleOf(t.popup->Popup());
                ASSERT_TRUE(object);
                LONG count = 0;
                object->get_accChildCount(&count);
                EXPECT_EQ(count, 35);
                EXPECT_EQ(ui_test::AccNumber(*object.Get(), CHILDID_SELF, true), ROLE_SYSTEM_LIST);
                EXPECT_EQ(ui_test::AccName(*object.Get(), 4), L"TAB]");
                t.Type(L"ta");
            },
            [](const Typing& t) {
                const auto object = ui_test::AccessibleOf(t.popup->Popup());
                ASSERT_TRUE(object);
                const long state = ui_test::AccNumber(*object.Get(), 4, false);
                EXPECT_NE(state & STATE_SYSTEM_SELECTED, 0);
                EXPECT_NE(ui_test::AccNumber(*object.Get(), 35, false) & STATE_SYSTEM_OFFSCREEN, 0)
                    << "below the rows shown";
            },
        });
}

} // namespace
