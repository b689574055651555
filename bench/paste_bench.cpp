// The whole paste of a script of ten text runs and ten keys into the paste
// target program, with the default delays, against the waits it is
// configured to make (the switch delay and ten paste delays) slept plainly.

#include <windows.h>

#include <objbase.h>

#include <string>

#include "app/main_wnd.h"
#include "app/paste_chunk.h"
#include "bench/bench.h"
#include "library/data_folder.h"
#include "tests/e2e/target_process.h"

namespace {

using namespace kelvo::bench;

constexpr int kRuns = 10;

// The main window as the paste needs it; this one has no window of its own.
class CBenchHost final : public kelvo::CPasteHost {
public:
    HWND Window() const override { return nullptr; }
    kelvo::CHeldModifiers& HeldModifiers() override { return m_held; }
    void PasteTargetChanged() override {}

private:
    kelvo::CHeldModifiers m_held;
};

void RunPasteBench() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A data folder of its own, empty: the default settings.
    const std::wstring folder = GetExecutableFolder();
    const std::wstring marker = folder + L"portable";
    ::CloseHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ::DeleteFileW((folder + L"settings.xml").c_str());
    {
        CMainWnd app(::GetModuleHandleW(nullptr));
        app.CreateHiddenWindow();
        CBenchHost host;
        test_target::CTargetProcess target(L"Kelvo paste bench target", L"multi");

        std::wstring script;
        for (int run = 0; run < kRuns; ++run)
            script += L"run " + std::to_wstring(run) + L"[END]";
        const auto chunk = kelvo::make_ref<text_chunk>(script, L"bench");
        const Settings& settings = app.settings();
        const DWORD switch_delay = SleepMillis(settings.switch_delay);
        const DWORD paste_delay = SleepMillis(settings.paste_delay);

        const Timing paste = MeasureAgainstFloor(
            9, 1, [&] { PasteChunk(app, host, *chunk, target.Window()); },
            [&] {
                ::Sleep(switch_delay);
                for (int run = 0; run < kRuns; ++run)
                    ::Sleep(paste_delay);
            });
        Report("paste", "whole-paste", kRuns, paste.figure_us, paste.floor_us, 1.05);
        // The last runs reach the target before it closes.
        test_target::CTargetProcess::Pump(200);
    }
    ::DeleteFileW(marker.c_str());
}

} // namespace

KELVO_BENCH_AREA("paste", RunPasteBench);
