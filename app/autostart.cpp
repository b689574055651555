#include "app/autostart.h"

#include <windows.h>

#include <string>

#include "base/win_handles.h"
#include "library/data_folder.h"

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Kelvo";

kelvo::UniqueHkey OpenRunKey(REGSAM access) {
    kelvo::UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, access, key.Put()) != ERROR_SUCCESS)
        key.Release();
    return key;
}

} // namespace

bool IsAutostartOn() {
    auto key = OpenRunKey(KEY_QUERY_VALUE);
    return key && ::RegQueryValueExW(key.Get(), kValueName, nullptr, nullptr, nullptr, nullptr) ==
                      ERROR_SUCCESS;
}

void SetAutostart(bool on) {
    auto key = OpenRunKey(KEY_SET_VALUE);
    if (!key)
        return;
    if (!on) {
        ::RegDeleteValueW(key.Get(), kValueName);
        return;
    }
    // The fixed file name, whatever the running file is called.
    std::wstring command = GetExecutableFolder() + L"kelvo.exe";
    ::RegSetValueExW(key.Get(), kValueName, 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}
