#pragma once
// Where Kelvo keeps settings.xml and chunks.xml.

#include <string>

// The full path of the running executable, at any length.
std::wstring GetExecutablePath();

// The folder of the running executable, ending in a backslash.
std::wstring GetExecutableFolder();

// The data folder, always ending in exactly one backslash: the executable's
// folder when an entry named "portable" is there (portable mode), otherwise
// "Vantrel\Kelvo" under the user's roaming application data, created on demand.
// Decided afresh at every call.
std::wstring GetDataFolder();

// "Vantrel\Kelvo" under the given folder, created with every missing parent
// (a failure shows later, when the files cannot be written), ending in a
// backslash.
std::wstring PerUserDataFolder(std::wstring app_data);

// The path in a form every file function takes at any length: a path too long
// for the classic limit is made absolute and gets the extended-length prefix
// ("\\?\C:\..." or "\\?\UNC\server\share\..."); others stay as they are.
std::wstring LongPathForm(const std::wstring& path);
