#!/usr/bin/env bash
# Portable mode: with a "portable" file beside kelvo.exe, a new chunk and the
# main window's place go to chunks.xml and settings.xml in the exe's folder,
# and the user's application data stays untouched. Without the file, the
# same program keeps its data in the application data folder.
source "$(dirname "$0")/journey.sh"

roaming=$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming
[ -d "$roaming" ] || fail "no application data folder in $roaming"
# This prefix is the whole-program tests' own: its user starts without data.
rm -rf "$roaming/Vantrel"

make_chunk() {
  new_chunk "$1" place
  xdotool type --delay 30 "written $1"
  save_chunk
}

close_and_exit() {
  focus "$main"
  xdotool key alt+F4
  wait_gone '^Kelvo$' || fail "the main window did not close"
  exit_from_tray
}

app=$(new_folder app)
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open"
make_chunk Beside
close_and_exit
grep -q 'title="Beside"' "$app/chunks.xml" || fail "the chunk is not in the exe's folder"
grep -q '<main-window' "$app/settings.xml" || fail "the window's place is not in the exe's folder"
[ -e "$roaming/Vantrel" ] && fail "portable mode wrote to $roaming/Vantrel: $(ls -R "$roaming/Vantrel")"
cp "$app/chunks.xml" "$app/settings.xml" "$work/"

rm "$app/portable"
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open without the portable file"
sleep 0.5
[ "$(colours_in Kelvo WYN_CUSTOM_LIST 1)" -eq 1 ] || fail "without the portable file the exe's library shows"
make_chunk Roaming
close_and_exit
grep -q 'title="Roaming"' "$roaming/Vantrel/Kelvo/chunks.xml" ||
  fail "the chunk is not in the application data folder"
cmp -s "$work/chunks.xml" "$app/chunks.xml" && cmp -s "$work/settings.xml" "$app/settings.xml" ||
  fail "the exe's files changed without the portable file"
rm -rf "$roaming/Vantrel"
say passed
