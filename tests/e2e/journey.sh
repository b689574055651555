# Sourced by the whole-program journeys: the steps they share. A journey runs
# under ctest with the DISPLAY of scripts/test and the WINEPREFIX of its ctest
# entry, and is called as
#   <journey>.sh <kelvo.exe> <kelvo-paste-target.exe> <kelvo-probe.exe> <screenshot folder>
# It drives the programs only through real input (xdotool) and checks what a
# user would see: text in the target program, files on disk, windows.
set -euo pipefail

wine=/usr/lib/wine/wine64
kelvo_exe=$1
target_exe=$2
probe_exe=$3
shots=$4
journey=$(basename "$0" .sh)
mkdir -p "$shots"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do
    kill "$p" 2>/dev/null || true
  done
  for p in "${pids[@]}"; do
    wait "$p" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Ends the journey with the message, a screenshot and the target programs' logs.
fail() {
  echo "e2e $journey: $*" >&2
  for log in "$work"/*.log; do
    [ -f "$log" ] && { echo "--- $(basename "$log")"; cat "$log"; } >&2
  done
  import -window root "$shots/$journey-failure.png" 2>/dev/null || true
  exit 1
}
say() { echo "e2e $journey: $*"; }

# The Windows form of a Unix path (Wine's Z: drive is the root).
winpath() { echo "Z:${1//\//\\}"; }

# Saves the screen, or only the X window given, as <journey>-<name>.png.
#   shot <name> [window]
shot() {
  import -window "${2:-root}" "$shots/$journey-$1.png"
}

# Polls for a visible X window whose name matches; prints its id.
wait_window() {
  for _ in $(seq 100); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until no visible window's name matches.
wait_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Gives the X window the keyboard focus, as a click on it would.
focus() {
  xdotool windowfocus --sync "$1"
  sleep 0.3
}

# A folder with its own copy of kelvo.exe and, unless told otherwise, the
# "portable" file beside it, so its data stays there.
#   new_folder <name> [installed]
new_folder() {
  local folder=$work/$1
  mkdir -p "$folder"
  cp "$kelvo_exe" "$folder/kelvo.exe"
  [ "${2:-}" = installed ] || touch "$folder/portable"
  echo "$folder"
}

# Starts the kelvo.exe of a folder; its process id is in $kelvo_pid.
start_kelvo() {
  "$wine" "$1/kelvo.exe" </dev/null >/dev/null 2>&1 &
  kelvo_pid=$!
  pids+=("$kelvo_pid")
}

# Waits for kelvo.exe to end by itself and checks that it ended with 0.
wait_kelvo_end() {
  for _ in $(seq 100); do
    kill -0 "$kelvo_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$kelvo_pid" 2>/dev/null && fail "kelvo.exe did not end"
  local code=0
  wait "$kelvo_pid" || code=$?
  [ "$code" -eq 0 ] || fail "kelvo.exe ended with $code"
}

# Starts the paste target with the title given, the named field (line,
# multi or rich) focused, and one of its options; its log file is
# $work/<title>.log, its process id in $target_pid.
#   start_target <title> [field] [--hold-clipboard|--read-late|--never-read]
start_target() {
  local log=$work/$1.log
  local option=()
  [ -n "${3:-}" ] && option=("$3")
  "$wine" "$target_exe" "${option[@]}" "$(winpath "$log")" "$1" "${2:-line}" </dev/null >/dev/null 2>&1 &
  target_pid=$!
  pids+=("$target_pid")
  wait_log "$1" ready || fail "the target program $1 did not start"
}

target_log() { cat "$work/$1.log" 2>/dev/null || true; }

# Waits until the target's log holds the line.
wait_log() {
  for _ in $(seq 100); do
    grep -qxF -- "$2" "$work/$1.log" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $3 tenths of a second (50 unless given) until the file $2
# holds the text $1: what the program saves reaches the file a moment after
# its window acted.
wait_file_has() {
  for _ in $(seq "${3:-50}"); do
    grep -qF -- "$1" "$2" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# Ctrl+Alt+V in the target $notes opens the main window, which gets the focus.
open_main() {
  focus "$notes"
  xdotool key ctrl+alt+v
  main=$(wait_window '^Kelvo$') || fail "the hotkey did not bring the main window"
  focus "$main"
}

# The last text a field of the target showed, escaped as the target logs it.
field_text() {
  target_log "$1" | sed -n "s/^text $2 //p" | tail -n 1
}

# The target's key lines, one "<field> <kind> <key>" a line, after line $2 of
# its log.
keys_after() {
  target_log "$1" | tail -n +"$(($2 + 1))" | sed -n 's/^key //p'
}

log_length() { target_log "$1" | wc -l; }

probe() {
  "$wine" "$probe_exe" "$@" </dev/null 2>/dev/null | tr -d '\r'
}

# A point in the n-th (from 0) visible child of a class in a window, by
# default its centre: prints "x y".
#   child_point <window title> <class> <n> [<x from the left> <y from the top>]
child_point() {
  probe children "$1" | awk -v cls="$2" -v n="$3" -v dx="${4:--1}" -v dy="${5:--1}" \
    '$1 == cls { if (n-- == 0) {
       print int($2 + (dx < 0 ? $4 / 2 : dx)), int($3 + (dy < 0 ? $5 / 2 : dy)); exit } }'
}

# The centre of the child with that class and text: prints "x y".
#   labelled_point <window title> <class> <text>
labelled_point() {
  probe children "$1" | awk -v cls="$2" -v text="$3" \
    '$1 == cls { t = $6; for (i = 7; i <= NF; i++) t = t " " $i
                 if (t == text) { print int($2 + $4 / 2), int($3 + $5 / 2); exit } }'
}

# Clicks at "x y" (from child_point or labelled_point); $2: how many times.
click_at() {
  [ -n "$1" ] || fail "nothing to click at"
  xdotool mousemove ${1% *} ${1#* } click --repeat "${2:-1}" --delay 80 1
  sleep 0.3
}

# The centre of the newest tray icon, the last one drawn from the left:
# prints "x y".
tray_icon_centre() {
  local tray x y w h box bx bw
  tray=$(wait_window "Wine System Tray") || fail "no tray window"
  eval "$(xdotool getwindowgeometry --shell "$tray" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/\1=/p')"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
  import -window root "$work/tray.png"
  box=$(convert "$work/tray.png" -crop "${w}x${h}+${x}+${y}" +repage -fuzz 10% -trim \
    -format '%w %h %X %Y' info:)
  read -r bw _ bx _ <<<"$box"
  [ "$bw" -lt "$w" ] || fail "no icon in the tray"
  echo $((x + bx + bw - h / 2)) $((y + h / 2))
}

right_click_tray_icon() {
  local at
  at=$(tray_icon_centre)
  xdotool mousemove ${at% *} ${at#* } click 3
  sleep 0.5
}

# "x y" of a window's top-left corner on the screen.
window_position() {
  xdotool getwindowgeometry --shell "$1" | sed -n 's/^[XY]=//p' | paste -sd' '
}

# The number of colours inside a window's child (inset by 3 pixels, clear of
# its border): 1 for an empty list.
#   colours_in <window title> <class> <n>
colours_in() {
  local rect
  rect=$(probe children "$1" | awk -v cls="$2" -v n="$3" \
    '$1 == cls { if (n-- == 0) { print $4 - 6 "x" $5 - 6 "+" $2 + 3 "+" $3 + 3; exit } }')
  [ -n "$rect" ] || fail "no $2 in $1"
  import -window root "$work/colours.png"
  convert "$work/colours.png" -crop "$rect" +repage -format '%k' info:
}

# Exit from the tray menu (Up from nothing selected lands on the last item).
exit_from_tray() {
  right_click_tray_icon
  xdotool key Up Return
  wait_kelvo_end
}

# A prepared library: chunks.xml in the folder, with the <chunk> elements given.
write_library() {
  local folder=$1
  shift
  printf '%s\n' '<?xml version="1.0" encoding="UTF-8"?><kelvo><chunks>' "$@" '</chunks></kelvo>' \
    >"$folder/chunks.xml"
}

# Whether a visible window with the title shows the text in a static control.
shows_text() {
  probe texts "$1" | grep -qF -- "$2"
}

# Alt+N in the main window ($main) opens the editor ($editor): the title
# typed, Tab, the tags typed, then Alt+H to the chunk text.
#   new_chunk <title> <tags>
new_chunk() {
  focus "$main"
  xdotool key alt+n
  editor=$(wait_window '^Text Chunk$') || fail "Alt+N did not open the editor"
  focus "$editor"
  xdotool type --delay 30 "$1"
  xdotool key Tab
  xdotool type --delay 30 "$2"
  xdotool key alt+h
}

# Alt+S saves the chunk and closes the editor; the main window has the
# focus again.
save_chunk() {
  xdotool key alt+s
  wait_gone '^Text Chunk$' || fail "the editor did not close on Save"
  focus "$main"
}
