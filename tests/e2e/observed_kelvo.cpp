// The program as the accessibility journey runs it: kelvo.exe itself, with a
// screen reader's view of its focus written to the log the environment
// names. A test build only: the shipped program has no such switch.

#include <windows.h>

#include "app/startup.h"
#include "tests/e2e/accessibility_log.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const auto accessibility_log = CAccessibilityLog::FromEnvironment();
    return RunKelvo(instance);
}
