// The key-code editor's colouring after one keystroke in a 20,000-character
// chunk with 500 tokens, against the floor of setting the same text without
// colouring.

#include <windows.h>

#include <richedit.h>

#include <cstdio>
#include <string>

#include "base/win_handles.h"
#include "bench/bench.h"
#include "ui/colored_text_box.h"

namespace {

using namespace kelvo::bench;

void RunEditorBench() {
    const kelvo::UniqueHmodule rich_edit(::LoadLibraryW(L"Riched20.dll"));
    const auto make = [] {
        return kelvo::UniqueHwnd(::CreateWindowExW(
            0, L"RichEdit20W", L"", WS_POPUP | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, 0, 0, 400,
            300, nullptr, nullptr, nullptr, nullptr));
    };
    // One box coloured and typed into; the floor's box only takes the text.
    const kelvo::UniqueHwnd edit = make();
    const kelvo::UniqueHwnd plain = make();
    if (!edit || !plain) {
        Fail("no rich edit box");
        return;
    }
    // 500 tokens among words, with line breaks: about 20,000 characters.
    std::wstring text;
    for (int i = 0; i < 500; ++i) {
        text += i % 2 ? L"[TAB]" : L"[ENTER]";
        text += L" some more words between the keys";
        if (i % 10 == 9)
            text += L"\r\n";
    }
    for (HWND box : {edit.Get(), plain.Get()})
        ::SendMessageW(box, EM_EXLIMITTEXT, 0, 1 << 20);
    ::SetWindowTextW(edit.Get(), text.c_str());
    kelvo::TokenLook shown;
    ColourTokens(edit.Get(), shown);
    const Timing timing = MeasureAgainstFloor(
        Sized(11, 1), 1,
        [&] {
            // One keystroke at the end, then the colouring it brings.
            ::SendMessageW(edit.Get(), EM_SETSEL, -1, -1);
            ::SendMessageW(edit.Get(), WM_CHAR, L'x', 1);
            ColourTokens(edit.Get(), shown);
        },
        [&] { ::SetWindowTextW(plain.Get(), text.c_str()); });
    Report("editor", "recolour-after-keystroke", text.size(), timing.figure_us, timing.floor_us, 3);
    const Timing whole = MeasureAgainstFloor(
        Sized(5, 1), 1,
        [&] {
            ::SetWindowTextW(plain.Get(), text.c_str());
            kelvo::TokenLook unknown;
            ColourTokens(plain.Get(), unknown);
        },
        [&] { ::SetWindowTextW(plain.Get(), text.c_str()); });
    Report("editor", "colour-whole-text", text.size(), whole.figure_us, whole.floor_us, 0);
}

} // namespace

KELVO_BENCH_AREA("editor", RunEditorBench);
