// The chunk browser at scale: one keystroke in the find box (typing the last
// character of a find text, or erasing it), with both lists rebuilt and their
// visible rows painted, against the floor of one bare case-insensitive pass
// over the titles and plain texts for a word that occurs nowhere. The
// budget is absolute as well: 16 ms at 10,000 chunks, 100 ms at 100,000.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/main_wnd.h"
#include "app/prop_dlg.h"
#include "base/utf16.h"
#include "bench/bench.h"
#include "bench/synthetic_library.h"
#include "library/chunk_finder.h"
#include "ui/custom_list.h"

namespace {

using namespace kelvo::bench;

// Runs `work` inside the chunk browser's modal loop, then closes it.
void InBrowser(CMainWnd& app, std::function<void(CPropDlg&)> work) {
    static std::function<void(CPropDlg&)> s_work;
    static CMainWnd* s_app = nullptr;
    s_work = std::move(work);
    s_app = &app;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        CPropDlg* dialog = s_app->ChunkBrowser();
        if (!dialog || !dialog->Hwnd() || !s_work)
            return;
        ::KillTimer(nullptr, id);
        const auto work = std::move(s_work);
        s_work = nullptr;
        work(*dialog);
        ::PostMessageW(dialog->Hwnd(), WM_CLOSE, 0, 0);
    });
    app.OpenMainWindow();
    ::KillTimer(nullptr, timer);
}

void RunBrowserBench() {
    const CPortableData data;
    const kelvo::CCaseFold& fold = kelvo::UserCaseFold();
    for (int count : {1000, 10000, 100000}) {
        const std::size_t n = static_cast<std::size_t>(count);
        const double budget = count == 10000 ? 16000 : count == 100000 ? 100000 : 0;
        WriteFile(data.ChunksPath(), MakeLibrary(count));
        WriteFile(data.SettingsPath(), "<kelvo><settings show-onstart=\"0\"/></kelvo>");
        CMainWnd app(::GetModuleHandleW(nullptr));
        if (!app.CreateHiddenWindow()) {
            std::fprintf(stderr, "kelvo-bench: the tray window cannot be made\n");
            return;
        }
        std::size_t hits = 0;
        const auto scan = [&] {
            for (const auto& [id, chunk] : app.Chunks().Chunks())
                hits += (!chunk->encrypted && fold.Contains(kelvo::AsU16(chunk->text), u"\x1")) +
                        fold.Contains(kelvo::AsU16(chunk->title), u"\x1");
        };
        const auto opened = Clock::now();
        InBrowser(app, [&](CPropDlg& dialog) {
            ReportValue("browser", "open-to-first-keystroke", n,
                        std::chrono::duration<double, std::milli>(Clock::now() - opened).count(), 0,
                        "ms", 0);
            HWND find = dialog.FindById(L"find")->Hwnd();
            HWND lists[] = {dialog.FindById(L"lst_tags")->Hwnd(),
                            dialog.FindById(L"lst_items")->Hwnd()};
            const struct {
                const char* figure;
                const wchar_t* find_text;
            } keystrokes[] = {
                {"keystroke-common-word", L"ab"},
                {"keystroke-rare-word", L"qzxj"},
                {"keystroke-tag", L"#tag17"},
                {"keystroke-to-empty", L"a"},
            };
            for (const auto& keystroke : keystrokes) {
                const std::wstring full = keystroke.find_text;
                const std::wstring shorter = full.substr(0, full.size() - 1);
                bool typed = false;
                ::SetWindowTextW(find, shorter.c_str());
                const Timing timing = MeasureAgainstFloor(
                    count >= 100000 ? 5 : 11, 2,
                    [&] {
                        typed = !typed;
                        ::SetWindowTextW(find, (typed ? full : shorter).c_str());
                        for (HWND list : lists) {
                            ::InvalidateRect(list, nullptr, FALSE);
                            ::UpdateWindow(list);
                        }
                    },
                    scan);
                Report("browser", keystroke.figure, n, timing.figure_us, timing.floor_us, budget);
            }
            hits += dialog.ChunkRows().size();
        });
        if (hits == static_cast<std::size_t>(-1))
            std::puts(""); // keeps the scan's result alive
    }
}

} // namespace

KELVO_BENCH_AREA("browser", RunBrowserBench);
