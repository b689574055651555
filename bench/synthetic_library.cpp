#include "bench/synthetic_library.h"

#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "base/win_handles.h"
#include "library/data_folder.h"

namespace kelvo::bench {
namespace {

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

} // namespace

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
    const UniqueHandle file = AdoptFile(::CreateFileW(
        path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size()) {
        std::fprintf(stderr, "kelvo-bench: cannot write the library\n");
        std::exit(1);
    }
}

std::string ReadFile(const std::wstring& path) {
    const UniqueHandle file = AdoptFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size))
        return bytes;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    bytes.resize(read);
    return bytes;
}

CPortableData::CPortableData() : m_folder(GetExecutableFolder()) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WriteFile(m_folder + L"portable", "");
}

CPortableData::~CPortableData() {
    for (const auto& path : {ChunksPath(), SettingsPath(), m_folder + L"portable"})
        ::DeleteFileW(path.c_str());
}

} // namespace kelvo::bench
