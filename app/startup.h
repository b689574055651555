#pragma once
// Start-up: one copy per logon, the platform services, the application object
// and the message loop. wWinMain only calls RunKelvo.

#include <windows.h>

// Runs the program until its quit message and gives the process's exit code:
// 0 after a normal end and for a second copy, which ends at once. A start that
// fails (no hidden window, out of memory) tells the user in a message box and
// gives a non-zero code; the single-instance mutex is released before the
// message shows, so a later start works.
int RunKelvo(HINSTANCE instance);

// The cipher's fault handler in the program: shows the self-check's message
// to the user before the cipher ends the process.
void ShowCipherFault(const char* message) noexcept;
