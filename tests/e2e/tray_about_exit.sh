#!/usr/bin/env bash
# Whole program, driven by real input on the X display: start kelvo.exe with a
# fresh data folder, check that it keeps running with its tray icon, open the
# tray menu by a right click on the icon, choose About, capture the screen,
# close the box, choose Exit, and check that the program ends with 0.
# Usage: tray_about_exit.sh <kelvo.exe> <screenshot.png>
# Runs under ctest with the DISPLAY of scripts/test and the WINEPREFIX of its
# ctest entry.
set -euo pipefail
exe=$1
shot=$2
wine=/usr/lib/wine/wine64

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "e2e: $*" >&2; exit 1; }

# Polls for a visible X window by name; prints its id.
wait_window() {
  for _ in $(seq 100); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Right-clicks the newest tray icon, the last one drawn from the left.
right_click_tray_icon() {
  local tray x y w h box bx bw bh
  tray=$(wait_window "Wine System Tray") || fail "no tray window"
  eval "$(xdotool getwindowgeometry --shell "$tray" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/\1=/p')"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
  import -window root "$work/tray.png"
  box=$(convert "$work/tray.png" -crop "${w}x${h}+${x}+${y}" +repage -fuzz 10% -trim \
    -format '%w %h %X %Y' info:)
  read -r bw bh bx _ <<<"$box"
  [ "$bw" -lt "$w" ] || fail "no icon in the tray"
  xdotool mousemove $((x + bx + bw - h / 2)) $((y + h / 2)) click 3
  sleep 1
}

# A fresh data folder: portable mode in a folder of its own.
cp "$exe" "$work/kelvo.exe"
touch "$work/portable"
"$wine" "$work/kelvo.exe" </dev/null >/dev/null 2>&1 &
pid=$!

right_click_tray_icon
kill -0 "$pid" 2>/dev/null || fail "kelvo.exe did not keep running"
[ -f "$work/settings.xml" ] && fail "start-up wrote settings.xml"

# The menu: Open, About, separator, Exit. Down twice selects About.
xdotool key Down Down Return
about=$(wait_window "About Kelvo") || fail "the About box did not open"
sleep 1
import -window root "$shot"
echo "e2e: screenshot of the About box: $shot"
xdotool windowfocus --sync "$about"
xdotool key Return
for _ in $(seq 50); do
  xdotool search --onlyvisible --name "About Kelvo" >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --onlyvisible --name "About Kelvo" >/dev/null 2>&1 && fail "the About box did not close"

# Up from nothing selected lands on the last item, Exit.
right_click_tray_icon
xdotool key Up Return
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$pid" 2>/dev/null && fail "kelvo.exe did not end after Exit"
set +e
wait "$pid"
code=$?
set -e
pid=
[ "$code" -eq 0 ] || fail "kelvo.exe ended with $code"
echo "e2e: passed"
