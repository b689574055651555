#pragma once
// Test helper: what the chunk browser's tests read of it and of the editor
// it opens.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/browser/prop_dlg.h"
#include "ui/custom_list.h"
#include "wyn/testing/dialog_script.h"

namespace browser_test {

using Strings = std::vector<std::wstring>;

// The windows of a class inside a dialog, in the order they were made.
inline std::vector<HWND> ChildrenOf(HWND dialog, const wchar_t* window_class) {
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
inline void FillEditor(const wchar_t* title, const wchar_t* tags, const wchar_t* text) {
    HWND editor = wyn_test::DialogScript::FrontDialog();
    const auto edits = ChildrenOf(editor, L"Edit");
    const auto rich = ChildrenOf(editor, L"RichEdit20W");
    ASSERT_EQ(edits.size(), 2u);
    ASSERT_EQ(rich.size(), 1u);
    ::SetWindowTextW(edits[0], title);
    ::SetWindowTextW(edits[1], tags);
    ::SetWindowTextW(rich[0], text);
}

inline CWynCustomList& List(CPropDlg& dialog, const wchar_t* id) {
    return *static_cast<CWynCustomList*>(dialog.FindById(id));
}

inline Strings Titles(const CPropDlg& dialog) {
    Strings titles;
    for (const auto& chunk : dialog.ChunkRows())
        titles.push_back(chunk->title);
    return titles;
}

// The tag rows as "name:count".
inline Strings Tags(const CPropDlg& dialog) {
    Strings tags;
    for (const auto& row : dialog.TagRows())
        tags.push_back(row.name + L":" + std::to_wstring(row.count));
    return tags;
}

// The current chunk's id; 0 for none.
inline int Selected(const CPropDlg& dialog) {
    const auto chunk = dialog.SelectedChunk();
    return chunk ? (*chunk)->id : 0;
}

// Selects the tag row as a click does.
inline void SelectTag(CPropDlg& dialog, std::wstring_view name) {
    const auto& rows = dialog.TagRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].name == name) {
            List(dialog, L"lst_tags").SelectItem(static_cast<int>(i));
            dialog.OnEvent(&List(dialog, L"lst_tags"), L"customlst-selchanged", 0, 0);
        }
}

} // namespace browser_test
