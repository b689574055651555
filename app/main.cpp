// The program's entry point; start-up itself is in startup.cpp.

#include <windows.h>

#include "app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunKelvo(instance);
}
