#include "wyn/engine/wyn_resource.h"

#include <cstring>

namespace kelvo {

std::span<const std::byte> FindWynResource(HINSTANCE module, const wchar_t* name) {
    HRSRC found = ::FindResourceW(module, name, L"WYNLIB");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes)
        return {};
    return {static_cast<const std::byte*>(bytes), ::SizeofResource(module, found)};
}

std::wstring ReadWynText(HINSTANCE module, const wchar_t* name) {
    const std::span<const std::byte> bytes = FindWynResource(module, name);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    if (const auto end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    if (!text.empty() && text.front() == L'\xFEFF')
        text.erase(0, 1);
    return text;
}

} // namespace kelvo
