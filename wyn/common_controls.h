#pragma once
// The common-control window classes that an element wraps, registered on
// first use (the program registers them at start; tools and tests need not).

#include <windows.h>

namespace kelvo {

// ICC_* flags of the classes needed.
void EnsureCommonControls(DWORD classes) noexcept;

} // namespace kelvo
