#include "ui/colored_text_box.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ui/kv_wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

// The editor in a running dialog.
struct Editor {
    CColoredTextBox& box;
    HWND edit;
};
using Step = std::function<void(const Editor&)>;

// Runs the steps in a dialog holding the key-code editor, each after the
// messages the one before posted (change notifications among them).
void RunEditor(std::vector<Step> steps) {
    wyn_test::InitPlatform();
    CkvWynEngine engine(wyn_test::Module());
    wyn_test::DescriptionFile file(LR"(<dialog>
        <codedit id="text" vScroll="true" width="200" height="80"/>
    </dialog>)");
    wyn_test::ScriptedDialog dialog(file.Path(), &engine);
    dialog.allowClose = false;
    for (Step& step : steps) {
        dialog.steps.push_back([step = std::move(step)](wyn_test::ScriptedDialog& d) {
            CWynElement* element = nullptr;
            ASSERT_TRUE(d.FindById(L"text")->IsType(L"codedit", element));
            step({*static_cast<CColoredTextBox*>(element), element->Hwnd()});
        });
        dialog.steps.push_back([](wyn_test::ScriptedDialog&) {});
    }
    dialog.steps.push_back([](wyn_test::ScriptedDialog& d) { ::EndDialog(d.Hwnd(), 5); });
    EXPECT_EQ(dialog.DoModal(nullptr), 5) << "the script ran to its end";
}

// The control's text without carriage returns (a line break is one position
// there), each green bold run in braces.
std::wstring Marked(HWND edit) {
    const int length = ::GetWindowTextLengthW(edit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(edit, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    std::erase(text, L'\r');
    std::wstring marked;
    bool in_token = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        CHARRANGE one{static_cast<LONG>(i), static_cast<LONG>(i + 1)};
        ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        ::SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        const bool token = format.crTextColor == RGB(0, 136, 0) && (format.dwEffects & CFE_BOLD);
        if (token != in_token)
            marked += token ? L'{' : L'}';
        in_token = token;
        marked += text[i];
    }
    return in_token ? marked + L'}' : marked;
}

std::wstring TextOf(HWND edit) {
    wchar_t text[128] = {};
    ::GetWindowTextW(edit, text, 128);
    return text;
}

TEST(ColoredTextBox, BracketedRunsAreGreenAndBoldOnEveryLine) {
    RunEditor({[](const Editor& e) {
        const struct {
            const wchar_t* text;
            std::wstring_view marked;
        } cases[] = {
            {L"Name[TAB]Street[ENTER]", L"Name{[TAB]}Street{[ENTER]}"},
            {L"[*a] [\\65] [sleep 500]", L"{[*a]} {[\\65]} {[sleep 500]}"},
            {L"[ 5] [1]", L"[ 5] [1]"},
            {L"go [TAB", L"go {[TAB}"},
            {L"one\r\n[TAB]\r\ntwo [ENTER]", L"one\n{[TAB]}\ntwo {[ENTER]}"},
        };
        for (const auto& c : cases) {
            e.box.SetTextValue(c.text);
            EXPECT_EQ(Marked(e.edit), c.marked);
        }
    }});
}

TEST(ColoredTextBox, AChangeIsColouredKeepingTheSelectionAndUndoTakesBackTheChange) {
    RunEditor({[](const Editor& e) {
                   e.box.SetTextValue(L"my name here");
                   ::SendMessageW(e.edit, EM_EMPTYUNDOBUFFER, 0, 0);
                   ::SetFocus(e.edit);
                   ::SendMessageW(e.edit, EM_SETSEL, 3, 7); // "name"
                   ::SendMessageW(e.edit, EM_REPLACESEL, TRUE,
                                  reinterpret_cast<LPARAM>(L"[ENTER]"));
                   ::SendMessageW(e.edit, EM_SETSEL, 1, 2);
               },
               [](const Editor& e) {
                   DWORD start = 0, end = 0;
                   ::SendMessageW(e.edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                  reinterpret_cast<LPARAM>(&end));
                   EXPECT_EQ(Marked(e.edit), L"my {[ENTER]} here") << "coloured after the change";
                   ::SendMessageW(e.edit, EM_SETSEL, start, end);
                   EXPECT_EQ(start, 1u);
                   EXPECT_EQ(end, 2u);
                   ::SendMessageW(e.edit, EM_UNDO, 0, 0);
               },
               [](const Editor& e) {
                   EXPECT_EQ(TextOf(e.edit), L"my name here") << "the insertion undone";
               }});
}

// Ctrl+Z as the control gets it from the keyboard.
void PressCtrlZ(HWND edit) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    const BYTE control = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(edit, WM_KEYDOWN, 'Z', 1);
    ::SendMessageW(edit, WM_KEYUP, 'Z', 0xC0000001);
    keys[VK_CONTROL] = control;
    ::SetKeyboardState(keys);
}

// Formats made under either way of keeping them out of the undo history
// leave the user's insertion as what Ctrl+Z takes back.
TEST(ColoredTextBox, CtrlZUndoesTheInsertionWhicheverWayColouringStaysOutOfTheHistory) {
    using Way = CUndoSuspension::Way;
    for (const Way way : {Way::kTextObjectModel, Way::kUndoLimit}) {
        Way used = way;
        RunEditor(
            {[](const Editor& e) {
                 e.box.SetTextValue(L"my name here");
                 ::SendMessageW(e.edit, EM_EMPTYUNDOBUFFER, 0, 0);
                 ::SetFocus(e.edit);
                 ::SendMessageW(e.edit, EM_SETSEL, 3, 7);
                 ::SendMessageW(e.edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"[ENTER]"));
             },
             [&](const Editor& e) {
                 EXPECT_EQ(Marked(e.edit), L"my {[ENTER]} here");
                 {
                     // A colouring's formats, run by run.
                     const CUndoSuspension suspension(e.edit, way);
                     used = suspension.Used();
                     for (LONG at = 0; at < 16; at += 4) {
                         CHARRANGE run{at, at + 4};
                         ::SendMessageW(e.edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&run));
                         CHARFORMAT2W format{};
                         format.cbSize = sizeof format;
                         format.dwMask = CFM_COLOR | CFM_ITALIC;
                         format.crTextColor = RGB(0, 0, 200);
                         format.dwEffects = CFE_ITALIC;
                         ::SendMessageW(e.edit, EM_SETCHARFORMAT, SCF_SELECTION,
                                        reinterpret_cast<LPARAM>(&format));
                     }
                 }
                 PressCtrlZ(e.edit);
             },
             [](const Editor& e) {
                 EXPECT_EQ(TextOf(e.edit), L"my name here") << "the insertion undone";
             }});
        if (way == Way::kUndoLimit)
            EXPECT_EQ(used, Way::kUndoLimit);
        else if (used != way)
            std::printf("the control refuses tomSuspend: the undo limit was used\n");
    }
}

TEST(ColoredTextBox, WhatIsTypedTakesItsOwnLookAlsoBesideAlikeText) {
    RunEditor({[](const Editor& e) {
                   e.box.SetTextValue(L"Name[TAB] Street");
                   ::SetFocus(e.edit);
                   ::SendMessageW(e.edit, EM_SETSEL, 9, 9);
                   ::SendMessageW(e.edit, WM_CHAR, L' ', 1);
               },
               [](const Editor& e) {
                   EXPECT_EQ(Marked(e.edit), L"Name{[TAB]}  Street");
                   // a key put over the start, ending like what it replaces
                   ::SendMessageW(e.edit, EM_SETSEL, 0, 9);
                   ::SendMessageW(e.edit, EM_REPLACESEL, TRUE,
                                  reinterpret_cast<LPARAM>(L"[ENTER]"));
               },
               [](const Editor& e) { EXPECT_EQ(Marked(e.edit), L"{[ENTER]}  Street"); }});
}

TEST(ColoredTextBox, TypingABracketOffersTheBracketFormsButSettingTextDoesNot) {
    RunEditor({[](const Editor& e) {
                   e.box.SetTextValue(L"ends with [");
                   ::SetFocus(e.edit);
                   ::SendMessageW(e.edit, EM_SETSEL, 0, 0);
               },
               [](const Editor& e) {
                   EXPECT_FALSE(e.box.Completion().IsOpen());
                   ::SendMessageW(e.edit, WM_CHAR, L'[', 1);
               },
               [](const Editor& e) {
                   ASSERT_TRUE(e.box.Completion().IsOpen());
                   EXPECT_EQ(e.box.Completion().Items().size(), 35u);
                   EXPECT_EQ(e.box.Completion().Items().front(), L"\\");
                   EXPECT_EQ(e.box.Completion().Selected(), 0);
               }});
}

} // namespace
