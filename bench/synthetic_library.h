#pragma once
// The library the benchmarks load and search, the same in every run.

#include <string>

namespace kelvo::bench {

// A chunks.xml of `count` chunks: titles of 10-60 characters, 0-3 tags from
// "tag1" to "tag200", texts of 20-2,000 characters with line breaks and key
// tokens; every tenth chunk encrypted (Base64 text).
std::string MakeLibrary(int count);

// Writes the bytes as the whole file.
void WriteFile(const std::wstring& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string ReadFile(const std::wstring& path);

// Portable mode in the benchmark's own folder (COM ready for the store) for as
// long as it lives; the marker and the data files go with it.
class CPortableData {
public:
    CPortableData();
    ~CPortableData();
    CPortableData(const CPortableData&) = delete;
    CPortableData& operator=(const CPortableData&) = delete;

    const std::wstring& Folder() const noexcept { return m_folder; }
    std::wstring ChunksPath() const { return m_folder + L"chunks.xml"; }
    std::wstring SettingsPath() const { return m_folder + L"settings.xml"; }

private:
    std::wstring m_folder;
};

} // namespace kelvo::bench
