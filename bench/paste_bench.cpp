// The whole paste of a script of ten text runs and ten keys into the paste
// target program, which reads each run as its Ctrl+V arrives, with the
// default settings (the delays, the clipboard given back), against the waits
// it is configured to make (the switch delay and ten paste delays) slept
// plainly in the same run, with the target already in front. The same paste started
// with a window of this program in front, as from the chunk browser, is
// reported beside it without a budget: there the activation switches the
// foreground, which under Wine in Xvfb is X11 work of 3 to 14 ms, more than
// the budget leaves.

#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/main_wnd.h"
#include "app/paste_chunk.h"
#include "bench/bench.h"
#include "library/data_folder.h"
#include "tests/e2e/target_process.h"

namespace {

using namespace kelvo::bench;

constexpr int kRuns = 10;

// The main window as the paste needs it: a plain window of this program.
class CBenchHost final : public kelvo::CPasteHost {
public:
    CBenchHost()
        : m_window(::CreateWindowExW(0, L"STATIC", L"Kelvo paste bench", WS_OVERLAPPEDWINDOW, 600,
                                     100, 300, 200, nullptr, nullptr, nullptr, nullptr)) {}
    HWND Window() const override { return m_window.Get(); }
    kelvo::CHeldModifiers& HeldModifiers() override { return m_held; }
    void PasteTargetChanged() override {}

private:
    kelvo::UniqueHwnd m_window;
    kelvo::CHeldModifiers m_held;
};

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// Medians of the paste and of its floor, measured in turns; `prepare` runs
// before each paste, untimed.
Timing MeasurePaste(const std::function<void()>& prepare, const std::function<bool()>& paste,
                    const std::function<void()>& floor, bool& all_pasted) {
    std::vector<double> pastes, floors;
    for (int turn = 0; turn < Sized(15, 1); ++turn) {
        prepare();
        const auto start = Clock::now();
        all_pasted = paste() && all_pasted;
        pastes.push_back(Micros(Clock::now() - start));
        const auto floor_start = Clock::now();
        floor();
        floors.push_back(Micros(Clock::now() - floor_start));
    }
    std::sort(pastes.begin(), pastes.end());
    std::sort(floors.begin(), floors.end());
    return {pastes[pastes.size() / 2], floors[floors.size() / 2]};
}

void RunPasteBench() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A data folder of its own with the default settings, but for the chunk
    // browser opening at start: it runs modally and would hold the benchmark
    // at the first message it handles.
    const std::wstring folder = GetExecutableFolder();
    const std::wstring marker = folder + L"portable";
    ::CloseHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ::DeleteFileW((folder + L"settings.xml").c_str());
    Settings quiet;
    quiet.show_onstart = 0;
    SaveSettings(quiet);
    {
        CMainWnd app(::GetModuleHandleW(nullptr));
        app.CreateHiddenWindow();
        CBenchHost host;
        ::ShowWindow(host.Window(), SW_SHOWNOACTIVATE);
        test_target::CTargetProcess target(L"Kelvo paste bench target", L"multi");

        std::wstring script;
        for (int run = 0; run < kRuns; ++run)
            script += L"run " + std::to_wstring(run) + L"[END]";
        const auto chunk = kelvo::MakeRef<text_chunk>(script, L"bench");
        const Settings& settings = app.CurrentSettings();
        const DWORD switch_delay = SleepMillis(settings.switch_delay);
        const DWORD paste_delay = SleepMillis(settings.paste_delay);
        const auto paste = [&] {
            return PasteChunk(app, host, *chunk, target.Window(), PasteTrigger::kOther);
        };
        const auto floor = [&] {
            ::Sleep(switch_delay);
            for (int run = 0; run < kRuns; ++run)
                ::Sleep(paste_delay);
        };

        bool all_pasted = true;
        const Timing in_front = MeasurePaste([&] { test_target::BringToFront(target.Window()); },
                                             paste, floor, all_pasted);
        Report("paste", "whole-paste", kRuns, in_front.figure_us, in_front.floor_us, 1.05);
        const Timing from_own = MeasurePaste([&] { test_target::BringToFront(host.Window()); },
                                             paste, floor, all_pasted);
        Report("paste", "whole-paste-from-own-window", kRuns, from_own.figure_us, from_own.floor_us,
               0);
        if (!all_pasted)
            Fail("a paste did not play to its end");
        // The last runs reach the target before it closes.
        test_target::CTargetProcess::Pump(200);
    }
    ::DeleteFileW((folder + L"settings.xml").c_str());
    ::DeleteFileW(marker.c_str());
}

} // namespace

KELVO_BENCH_AREA("paste", RunPasteBench);
