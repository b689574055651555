#!/usr/bin/env bash
# Accessibility: while the user moves through the main window's lists with
# the arrow keys, the object accessibility reports as focused names the row
# under the cursor, chunk titles in the chunk list and tags in the tag list;
# the editor's text fields are named by their labels, and what the user types
# into them never shows in the log.
# Under Wine another process cannot obtain the program's accessible objects
# (oleacc refuses them, even a standard control's): the journey tries, and
# reads them where the program itself, as a screen reader would, writes them
# to the log its environment names. That log is in the test build of the
# program only (kelvo-observed.exe, which this journey runs as kelvo.exe).
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
write_library "$app" '<chunk id="1" title="Alpha" tags="letters">first</chunk>' \
  '<chunk id="2" title="Beta" tags="letters">second</chunk>' \
  '<chunk id="3" title="Gamma" tags="greek">third</chunk>'
export KELVO_ACCESSIBILITY_LOG
KELVO_ACCESSIBILITY_LOG=$(winpath "$work/accessibility.log")
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open"
focus "$main"

# Waits until the last focus the program reported is the object named, by
# default an item of a drawn list.
#   focused <name> <after what> [<window class>]
focused() {
  local last
  for _ in $(seq 50); do
    last=$(tail -n 1 "$work/accessibility.log" 2>/dev/null || true)
    [ "$last" = "focus ${3:-WYN_CUSTOM_LIST} $1" ] && return 0
    sleep 0.1
  done
  fail "after $2 the focused object is '${last#focus }', not '${3:-WYN_CUSTOM_LIST} $1'"
}

# A click on the first chunk row, then the arrow keys.
click_at "$(child_point Kelvo WYN_CUSTOM_LIST 1 30 10)"
focused Alpha "a click on the first row"
# A screen reader runs as a process of its own: where the system lets one
# read the list, it names the same row.
if answer=$(probe focused-item Kelvo WYN_CUSTOM_LIST 1); then
  [ "$answer" = "name=Alpha" ] || fail "another process reads '$answer' for the focused row"
  say "another process reads the focused row as Alpha"
else
  say "another process cannot read the list ($answer): read inside the program"
fi
xdotool key Down
focused Beta "Down"
xdotool key Down
focused Gamma "Down again"
xdotool key Up
focused Beta "Up"
# Shift+Tab to the tag list, where the first row stands for all chunks.
xdotool key shift+Tab
focused "all chunks" "Shift+Tab to the tags"
xdotool key Down
focused greek "Down in the tags"
shot tag-list-focused

# The editor: a title and a text typed, the focus moved between them with
# the labels' mnemonics. Each field is named by its label, never by its text.
new_chunk Title-4711 tag-4711
xdotool type --delay 30 hidden-4711
focused "Chunk text:" "Alt+H to the text" RichEdit20W
xdotool key alt+e
focused "short description (required)" "Alt+E to the title" Edit
xdotool key alt+h
focused "Chunk text:" "Alt+H back to the text" RichEdit20W
grep -n 4711 "$work/accessibility.log" && fail "the log shows what was typed"
xdotool key alt+c
wait_gone '^Text Chunk$' || fail "the editor did not close on Cancel"
exit_from_tray
say passed
