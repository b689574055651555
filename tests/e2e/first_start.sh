#!/usr/bin/env bash
# First start on a fresh data folder: the tray icon and the main window (shown
# on start) with empty lists; the hotkey set to Ctrl+Alt+V in the settings and
# saved; the main window moved and closed; Exit; started again, the main
# window opens where it was closed.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open on start"
tray_icon_centre >/dev/null
sleep 0.5
# The tag list shows its "all chunks" row; the chunk list nothing.
[ "$(colours_in Kelvo WYN_CUSTOM_LIST 1)" -eq 1 ] || fail "the chunk list is not empty"
[ -f "$app/chunks.xml" ] && fail "start-up wrote chunks.xml"
shot main-window-empty

# The wrench button's menu: Settings first.
focus "$main"
click_at "$(child_point Kelvo WYN_CUSTOM_BTN 3)"
xdotool key Down Return
settings=$(wait_window '^Kelvo Settings$') || fail "the settings did not open"
focus "$settings"
# The hotkey box follows the double-click choice; it keeps every key, Enter
# too, so OK is clicked.
xdotool key Tab ctrl+alt+v
sleep 0.5
shot settings "$settings"
click_at "$(labelled_point 'Kelvo Settings' Button OK)"
wait_gone '^Kelvo Settings$' || fail "the settings did not close on Enter"
grep -q 'hotkey="1622"' "$app/settings.xml" || fail "Ctrl+Alt+V was not saved: $(cat "$app/settings.xml")"

# Moved by the user, then closed by Alt+F4.
xdotool windowmove --sync "$main" 212 143
sleep 0.5
closed_at=$(window_position "$main")
focus "$main"
xdotool key alt+F4
wait_gone '^Kelvo$' || fail "the main window did not close"
kill -0 "$kelvo_pid" 2>/dev/null || fail "closing the main window ended the program"
exit_from_tray
say "closed at $closed_at, program ended"

start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open on the second start"
sleep 0.5
opened_at=$(window_position "$main")
[ "$opened_at" = "$closed_at" ] || fail "closed at $closed_at, opened again at $opened_at"
exit_from_tray
say passed
