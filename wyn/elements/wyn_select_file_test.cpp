#include "wyn/elements/wyn_select_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyn/engine/wyn_engine.h"
#include "wyn/testing/test_dialog.h"

namespace {

using wyn_test::DescriptionFile;
using wyn_test::ScriptedDialog;

// The events of the picker, in order.
std::vector<std::wstring> PickerEvents(const ScriptedDialog& d) {
    std::vector<std::wstring> names;
    for (const auto& e : d.events) {
        if (e.source == L"picker")
            names.push_back(e.name);
    }
    return names;
}

// The file name box of the system's file dialogs.
constexpr int kNameBox = 1152;

// Presses OK in the system's dialog captioned `title`, once it is there.
void AcceptDialog(const wchar_t* title) {
    HWND picker = ::FindWindowW(L"#32770", title);
    ASSERT_NE(picker, nullptr) << "the system's dialog is open";
    ::PostMessageW(::GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
}

TEST(WynSelectFileTest, ChosenFileGoesToItsTargetWithEvents) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog orient="vertical">
        <textbox id="path"/>
        <button id="browse" label="Browse">
            <selectfile id="picker" type="save" title="Save the list" saveto="path">
                <ext text="Text files" extension="*.txt"/>
            </selectfile>
        </button>
    </dialog>)");
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring target = std::wstring(folder) + L"kelvo-picked.txt";
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [&](ScriptedDialog& d) {
            d.FindById(L"path")->SetTextValue(target.c_str());
            ::PostMessageW(d.Window(L"browse"), BM_CLICK, 0, 0);
        },
        [](ScriptedDialog&) { AcceptDialog(L"Save the list"); },
        [&](ScriptedDialog& d) {
            EXPECT_EQ(PickerEvents(d),
                      (std::vector<std::wstring>{L"fsinitialdir", L"fsselected", L"changed"}));
            EXPECT_TRUE(::lstrcmpiW(d.FindById(L"path")->GetTextValueOr(L""), target.c_str()) == 0)
                << "the name it started with, accepted";
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

TEST(WynSelectFolderTest, ChosenFolderIsTheValueAndGoesToItsTarget) {
    wyn_test::InitPlatform();
    CWynEngine engine(wyn_test::Module());
    DescriptionFile file(LR"(<dialog orient="vertical">
        <textbox id="path"/>
        <button id="browse" label="Browse">
            <selectfolder id="picker" title="Pick the folder" saveto="path"/>
        </button>
    </dialog>)");
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = temp;
    folder.pop_back(); // no trailing backslash
    ScriptedDialog dialog(file.Path(), &engine);
    dialog.steps = {
        [&](ScriptedDialog& d) {
            EXPECT_EQ(d.FindById(L"picker")->GetTextValue(), nullptr);
            d.FindById(L"path")->SetTextValue(folder.c_str());
            ::PostMessageW(d.Window(L"browse"), BM_CLICK, 0, 0);
        },
        // The user types the folder into the name box and presses OK.
        [&](ScriptedDialog&) {
            ::SetWindowTextW(::GetDlgItem(::FindWindowW(L"#32770", L"Pick the folder"), kNameBox),
                             folder.c_str());
            AcceptDialog(L"Pick the folder");
        },
        [&](ScriptedDialog& d) {
            EXPECT_EQ(PickerEvents(d), (std::vector<std::wstring>{L"fsselected", L"changed"}));
            const wchar_t* chosen = d.FindById(L"picker")->GetTextValue();
            ASSERT_NE(chosen, nullptr);
            EXPECT_STREQ(d.FindById(L"path")->GetTextValueOr(L""), chosen);
            EXPECT_EQ(::lstrcmpiW(chosen, folder.c_str()), 0);
            d.PressKey(VK_ESCAPE);
        },
    };
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
}

} // namespace
