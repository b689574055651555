#pragma once
// Where Kelvo keeps settings.xml and chunks.xml.

#include <string>

// The folder of the running executable, ending in a backslash.
std::wstring GetExecutableFolder();

// The data folder, always ending in exactly one backslash: the executable's
// folder when an entry named "portable" is there (portable mode), otherwise
// "Vantrel\Kelvo" under the user's roaming application data, created on demand.
// Decided afresh at every call.
std::wstring GetDataFolder();
