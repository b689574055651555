#pragma once
// The common-control window classes that an element wraps, registered on
// first use (the program registers them at start; tools and tests need not).

#include <windows.h>

namespace kelvo {

// ICC_* flags of the classes needed.
void EnsureCommonControls(DWORD classes) noexcept;

// A control's notification answered: the dialog that received it (the
// control's parent) returns `answer` as the message result.
LRESULT AnswerNotification(HWND control, LRESULT answer) noexcept;

} // namespace kelvo
