// The chunk store against the bare XML work it cannot avoid: loading the
// library against a bare parse of the same file (time and peak working set),
// and each write-through against a bare parse + save.

#include <windows.h>

#include <psapi.h>

#include <random>
#include <string>
#include <string_view>

#include "base/msxml_ids.h"
#include "bench/bench.h"
#include "library/chunk_store.h"
#include "library/data_folder.h"
#include "library/xml_props.h"

namespace {

using namespace kelvo::bench;

void AppendEscaped(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

// A synthetic library: titles of 10-60 characters, 0-3 tags from 200, texts of
// 20-2,000 characters with line breaks and key tokens; a tenth Base64.
std::string MakeLibrary(int count) {
    std::mt19937 rng(20261210);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* tokens[] = {"[TAB]", "[ENTER]", "[CTRL]", "[SLEEP 200]", "[\\x41]", "[*A]"};
    static constexpr char kBase64[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    auto words = [&](int length) {
        std::string s;
        while (static_cast<int>(s.size()) < length) {
            int roll = between(0, 30);
            if (roll == 0)
                s += "\r\n";
            else if (roll == 1)
                s += tokens[between(0, 5)];
            else if (roll < 6)
                s += ' ';
            else
                s += static_cast<char>('a' + between(0, 25));
        }
        return s;
    };
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kelvo><chunks>";
    for (int id = 1; id <= count; ++id) {
        bool encrypted = id % 10 == 0;
        std::string text;
        if (encrypted) {
            int length = (between(20, 2000) + 3) / 4 * 4;
            for (int i = 0; i < length; ++i)
                text += kBase64[between(0, 63)];
        } else {
            text = words(between(20, 2000));
        }
        std::string tags;
        for (int t = between(0, 3); t > 0; --t)
            tags += (tags.empty() ? "tag" : ";tag") + std::to_string(between(1, 200));
        xml += "\n<chunk id=\"" + std::to_string(id) + "\" encrypted=\"" + (encrypted ? "1" : "0") +
               "\" title=\"";
        AppendEscaped(xml, words(between(10, 60)));
        xml += "\" tags=\"" + tags + "\">";
        AppendEscaped(xml, text);
        xml += "</chunk>";
    }
    return xml + "\n</chunks></kelvo>\n";
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

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

void BareSave(IXMLDOMDocument* doc, const std::wstring& path) {
    kelvo::UniqueVariant target;
    target.Get()->vt = VT_BSTR;
    target.Get()->bstrVal = kelvo::UniqueBstr(path).Release();
    doc->save(*target.Get());
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

void RunStoreBench() {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring folder = GetExecutableFolder();
    const std::wstring marker = folder + L"portable";
    WriteFile(marker, "");
    const std::wstring chunks = folder + L"chunks.xml";
    const std::wstring scratch = folder + L"bench-copy.xml";

    for (int count : {1000, 10000, 100000}) {
        const int turns = count >= 100000 ? 3 : count >= 10000 ? 5 : 11;
        const std::size_t n = static_cast<std::size_t>(count);
        const std::string library = MakeLibrary(count);
        WriteFile(chunks, library);
        ::DeleteFileW((folder + L"settings.xml").c_str());

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

        auto bare_load_save = [&] { BareSave(BareLoad(chunks).Get(), scratch); };
        const Timing put_new = MeasureAgainstFloor(
            turns, 1,
            [&] {
                store.PutChunk(kelvo::MakeRef<text_chunk>(L"new chunk text[TAB]x", L"new title"));
            },
            bare_load_save);
        Report("store", "put-new", n, put_new.figure_us, put_new.floor_us, 1.5);

        kelvo::Ref<text_chunk> changed = store.Chunks().at(count / 2);
        const Timing put_changed = MeasureAgainstFloor(
            turns, 1,
            [&] {
                changed->title += L"!";
                store.PutChunk(changed);
            },
            bare_load_save);
        Report("store", "put-changed", n, put_changed.figure_us, put_changed.floor_us, 1.5);

        int next_delete = 1;
        const Timing remove = MeasureAgainstFloor(
            turns, 1, [&] { store.DeleteChunk(next_delete++); }, bare_load_save);
        Report("store", "delete", n, remove.figure_us, remove.floor_us, 0);
    }
    ::DeleteFileW(chunks.c_str());
    ::DeleteFileW(scratch.c_str());
    ::DeleteFileW((folder + L"settings.xml").c_str());
    ::DeleteFileW(marker.c_str());
}

} // namespace

KELVO_BENCH_AREA("store", RunStoreBench);
KELVO_BENCH_AREA("store-peak", RunPeakChild);
