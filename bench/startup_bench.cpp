// Start-up at scale: from the process start of kelvo.exe to its tray window
// (made when the library is loaded, with the tray icon) with a 10,000-chunk
// library, against the same program started with an empty library.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/win_handles.h"
#include "bench/bench.h"
#include "bench/synthetic_library.h"
#include "library/data_folder.h"

namespace {

using namespace kelvo::bench;

// A portable copy of the program in a folder of its own with this library.
std::wstring PrepareCopy(const std::wstring& name, const std::string& library) {
    const std::wstring folder = GetExecutableFolder() + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CopyFileW((GetExecutableFolder() + L"..\\kelvo.exe").c_str(), (folder + L"kelvo.exe").c_str(),
                FALSE);
    WriteFile(folder + L"portable", "");
    WriteFile(folder + L"settings.xml", "<kelvo><settings show-onstart=\"0\"/></kelvo>");
    WriteFile(folder + L"chunks.xml", library);
    return folder;
}

void RemoveCopy(const std::wstring& folder) {
    for (const wchar_t* name : {L"kelvo.exe", L"portable", L"settings.xml", L"chunks.xml"})
        ::DeleteFileW((folder + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

// Starts the copy and waits for its tray window: the microseconds between.
// Then ends it, which is not counted. Nothing when it did not start or ended
// without a tray window.
std::optional<double> StartToTray(const std::wstring& folder) {
    const auto start = Clock::now();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + folder + L"kelvo.exe\"";
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process)) {
        Fail("kelvo.exe does not start");
        return {};
    }
    const kelvo::UniqueHandle process_handle(process.hProcess);
    const kelvo::UniqueHandle thread_handle(process.hThread);
    HWND tray = nullptr;
    while (!(tray = ::FindWindowW(L"KV_MAIN_WND", nullptr)) &&
           ::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        ::Sleep(1);
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (!tray) {
        Fail("kelvo.exe ended before its tray window was made");
        return {};
    }
    ::PostMessageW(tray, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.hProcess, 30000);
    return micros;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void RunStartupBench() {
    const std::wstring empty = PrepareCopy(L"startup-empty", "<kelvo><chunks/></kelvo>");
    const int count = Sized(10000, 200);
    const std::wstring full = PrepareCopy(L"startup-10k", MakeLibrary(count));
    // The first start of a program pays for loading it.
    if (StartToTray(full)) {
        // In turns, so that both see the same load on a busy machine.
        std::vector<double> figure, floor;
        for (int turn = 0; turn < Sized(7, 1); ++turn) {
            const auto full_start = StartToTray(full);
            const auto empty_start = StartToTray(empty);
            if (!full_start || !empty_start)
                break;
            figure.push_back(*full_start);
            floor.push_back(*empty_start);
        }
        if (!figure.empty())
            Report("startup", "start-to-tray", static_cast<std::size_t>(count), Median(figure),
                   Median(floor), 1.5);
    }
    RemoveCopy(empty);
    RemoveCopy(full);
}

} // namespace

KELVO_BENCH_AREA("startup", RunStartupBench);
