#include "wyn/wyn_select_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wyn/test_dialog.h"
#include "wyn/wyn_engine.h"

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

// Presses OK in the system's dialog captioned `title`, once it is there.
void AcceptDialog(const wchar_t* title) {
    HWND picker = ::FindWindowW(L"#32770", title);
    ASSERT_NE(picker, nullptr) << "the system's dialog is open";
    ::PostMessageW(picker, WM_COMMAND, IDOK, 0);
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
    ScriptedDialog dialog(file.path(), &engine);
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

} // namespace
