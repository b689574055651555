#!/usr/bin/env bash
# The program's windows at two display scalings: runs the test that shoots
# the main window, the editor and the settings once at 96 DPI and once at 144
# (Wine takes the DPI of a new process from HKCU\Control Panel\Desktop\
# LogPixels; its server is restarted between the two), then checks that each
# window grew by 1.4 to 1.65 in both directions: half as large again, give or
# take what the fonts' pixel sizes round to (the dialog units and the editor's
# first size, 60 characters of its font wide, follow them). The shots stay in
# <output folder>/96 and /144 for a person to look at.
# Usage: scaling_shots.sh <app_test.exe> <output folder>
# Runs under ctest with the DISPLAY of scripts/test and the WINEPREFIX of its
# ctest entry; the prefix is put back to 96 DPI at the end.
set -euo pipefail
tests=$1
out=$2
source "$(dirname "$0")/dpi.sh"

fail() { echo "e2e: $*" >&2; exit 1; }

# Back at 96 DPI, with a persistent server and its services started away
# from ctest's pipes, as the tests after this one expect.
trap 'set_dpi 96' EXIT

windows=(scaling-main-window scaling-editor scaling-settings)
for dpi in 96 144; do
  set_dpi "$dpi"
  rm -rf "$out/$dpi"
  mkdir -p "$out/$dpi"
  # The shots go to shots/ in the working folder.
  (cd "$out/$dpi" && "$wine" "$tests" --gtest_filter='BrowserInAppTest.ShotsOf*' </dev/null \
    >"$out/$dpi/log.txt" 2>&1) || fail "the shooting test failed at $dpi DPI (see $out/$dpi/log.txt)"
  for name in "${windows[@]}"; do
    [ -f "$out/$dpi/shots/$name.png" ] || fail "no shot $name at $dpi DPI"
  done
done

for name in "${windows[@]}"; do
  read -r w1 h1 <<<"$(identify -format '%w %h' "$out/96/shots/$name.png")"
  read -r w2 h2 <<<"$(identify -format '%w %h' "$out/144/shots/$name.png")"
  echo "e2e: $name ${w1}x${h1} -> ${w2}x${h2}"
  for pair in "$w1 $w2" "$h1 $h2"; do
    read -r a b <<<"$pair"
    awk -v a="$a" -v b="$b" 'BEGIN { r = b / a; exit !(r >= 1.4 && r <= 1.65) }' ||
      fail "$name grew from $a to $b, not by 1.4 to 1.65"
  done
done
echo "e2e: passed"
