#pragma once
// The engine's resources: dialog descriptions and images carried in a module
// under the resource type "WYNLIB", looked up by name in any case.

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>

namespace kelvo {

// The resource's bytes, which live as long as the module; empty when missing.
std::span<const std::byte> FindWynResource(HINSTANCE module, const wchar_t* name);

// A description's text: UTF-16 with or without a byte-order mark, ending at
// the first zero character if it holds one; empty when the resource is missing.
std::wstring ReadWynText(HINSTANCE module, const wchar_t* name);

} // namespace kelvo
