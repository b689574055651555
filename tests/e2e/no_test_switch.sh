#!/usr/bin/env bash
# Checks that a program carries no test switch: no "KELVO_" environment
# variable names (as UTF-16 or 8-bit text) and no import of
# GetEnvironmentVariable. With a second program, the test build, checks that
# the same looks find its switch, so that they are known to work.
#   no_test_switch.sh <kelvo.exe> [<test build>]
set -euo pipefail
objdump=x86_64-w64-mingw32-objdump

# Prints what of a test switch the program carries.
switches() {
  { strings -a -el "$1"; strings -a "$1"; } | grep -o 'KELVO_[A-Z_]*' | sort -u || true
  "$objdump" -p "$1" | grep -o 'GetEnvironmentVariable[AW]\?' | sort -u || true
}

found=$(switches "$1")
if [ -n "$found" ]; then
  echo "no_test_switch: $(basename "$1") carries test switches:" $found >&2
  exit 1
fi
if [ -n "${2:-}" ]; then
  control=$(switches "$2")
  [[ "$control" == *KELVO_ACCESSIBILITY_LOG* && "$control" == *GetEnvironmentVariable* ]] || {
    echo "no_test_switch: the check does not find the switch of $(basename "$2"): $control" >&2
    exit 1
  }
fi
echo "no_test_switch: $(basename "$1") carries none"
