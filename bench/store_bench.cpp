// The chunk store against the bare work it cannot avoid: loading the library
// against a bare parse of the same file (time and peak working set), and each
// write-through against writing the file's bytes to a temporary file, flushing
// them and putting the file in place.

#include <windows.h>

#include <psapi.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/msxml_ids.h"
#include "bench/bench.h"
#include "bench/synthetic_library.h"
#include "library/chunk_store.h"
#include "library/data_folder.h"
#include "library/file_replace.h"
#include "library/xml_props.h"

namespace {

using namespace kelvo::bench;

// The bare parse of a file: read it whole into a byte array, the parser's
// fastest input, and parse it as the store's loader sets the parser up, with
// nothing walked afterwards.
kelvo::ComPtr<IXMLDOMDocument> BareLoad(const std::wstring& path) {
    kelvo::ComPtr<IXMLDOMDocument> doc;
    ::CoCreateInstance(kelvo::msxml::kFreeThreadedDocument, nullptr, CLSCTX_INPROC_SERVER,
                       kelvo::msxml::kIXMLDOMDocument, doc.PutVoid());
    doc->put_async(VARIANT_FALSE);
    doc->put_preserveWhiteSpace(VARIANT_TRUE);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file, &size);
    kelvo::UniqueVariant bytes;
    bytes.Get()->vt = VT_ARRAY | VT_UI1;
    bytes.Get()->parray = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size.QuadPart));
    {
        kelvo::SafearrayAccess data(bytes.Get()->parray);
        DWORD read = 0;
        ::ReadFile(file, data.Data(), static_cast<DWORD>(size.QuadPart), &read, nullptr);
    }
    ::CloseHandle(file);
    VARIANT_BOOL ok = VARIANT_FALSE;
    doc->load(*bytes.Get(), &ok);
    return doc;
}

double PeakWorkingSetKiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

constexpr wchar_t kPeakVariable[] = L"KELVO_BENCH_PEAK";

// The peak working set of one load ("store" or "bare") of the library in a
// fresh process of this program, so that neither figure hides the other.
double PeakOfOneLoad(const wchar_t* what) {
    ::SetEnvironmentVariableW(kPeakVariable, what);
    const std::wstring exe = GetExecutablePath();
    std::wstring command = L"\"" + exe + L"\" store-peak";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD kib = 0;
    if (::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &kib);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::SetEnvironmentVariableW(kPeakVariable, nullptr);
    return kib;
}

// In the process PeakOfOneLoad starts: one load, then the peak working set in
// KiB as the exit code. Run any other way, it does nothing.
void RunPeakChild() {
    wchar_t what[16] = {};
    if (!::GetEnvironmentVariableW(kPeakVariable, what, 16))
        return;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (std::wstring_view(what) == L"store") {
        CChunkStore store;
        store.LoadChunks();
        ::ExitProcess(static_cast<UINT>(PeakWorkingSetKiB()));
    }
    auto doc = BareLoad(GetExecutableFolder() + L"chunks.xml");
    ::ExitProcess(static_cast<UINT>(PeakWorkingSetKiB()));
}

std::vector<int> Counts() {
    return IsShortRun() ? std::vector<int>{200} : std::vector<int>{1000, 10000, 100000};
}

void RunStoreBench() {
    const CPortableData data;
    const std::wstring chunks = data.ChunksPath();
    const std::wstring scratch = data.Folder() + L"bench-copy.xml";

    for (int count : Counts()) {
        const int turns = Sized(count >= 100000 ? 3 : count >= 10000 ? 5 : 11, 1);
        const std::size_t n = static_cast<std::size_t>(count);
        const std::string library = MakeLibrary(count);
        WriteFile(chunks, library);
        ::DeleteFileW(data.SettingsPath().c_str());

        ReportValue("store", "peak-working-set", n, PeakOfOneLoad(L"store"), PeakOfOneLoad(L"bare"),
                    "KiB", 0);
        CChunkStore store;
        store.LoadChunks();

        const Timing load = MeasureAgainstFloor(
            turns, 1,
            [&] {
                CChunkStore loaded;
                loaded.LoadChunks();
            },
            [&] { BareLoad(chunks); });
        Report("store", "load", n, load.figure_us, load.floor_us, 1.5);

        // The floor of a write: the bytes of the library as it stands, written
        // to a temporary file beside a target, flushed and put in its place.
        const auto measure_write = [&](const std::function<void()>& write) {
            const std::string bytes = ReadFile(chunks);
            return MeasureAgainstFloor(turns, 1, write,
                                       [&] { ReplaceFileContents(scratch, bytes); });
        };
        const Timing put_new = measure_write([&] {
            store.PutChunk(kelvo::MakeRef<text_chunk>(L"new chunk text[TAB]x", L"new title"));
        });
        Report("store", "put-new", n, put_new.figure_us, put_new.floor_us, 3);

        kelvo::Ref<text_chunk> changed = store.Chunks().at(count / 2);
        const Timing put_changed = measure_write([&] {
            changed->title += L"!";
            store.PutChunk(changed);
        });
        Report("store", "put-changed", n, put_changed.figure_us, put_changed.floor_us, 3);

        int next_delete = 1;
        const Timing remove = measure_write([&] { store.DeleteChunk(next_delete++); });
        Report("store", "delete", n, remove.figure_us, remove.floor_us, 3);
    }
    ::DeleteFileW(scratch.c_str());
}

} // namespace

KELVO_BENCH_AREA("store", RunStoreBench);
KELVO_BENCH_AREA("store-peak", RunPeakChild);
