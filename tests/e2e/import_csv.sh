#!/usr/bin/env bash
# Chunks brought in from a spreadsheet: a CSV as spreadsheet programs write
# it (byte-order mark, CR LF, quoted fields holding commas, quotes and a line
# break) is imported from the wrench menu, opened with the keyboard, through
# the system's open dialog; the preview tells what will happen, and an
# imported chunk pastes into the target program exactly.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
cat >"$app/settings.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?><kelvo><settings hotkey="1622" show-onstart="0"/></kelvo>
XML
write_library "$app" '<chunk id="1" title="Address" tags="home">12 Oak Lane</chunk>'
csv="$work/from spreadsheet.csv"
printf '\xEF\xBB\xBFTitle,Tags,Text\r\nAddress,home,12 Oak Lane\r\nInvitation,"mail;party","Dear Ann,\r\nsee you at 5, ""sharp"". \xC3\xA9\xE2\x82\xAC"\r\nAddress,work,1 Main Street\r\n' \
  >"$csv"

start_kelvo "$app"
tray_icon_centre >/dev/null
start_target Notes multi
notes=$(wait_window '^Notes$') || fail "no target window"

open_main
# Alt+E opens the wrench menu: Settings, Master password, Import chunks.
xdotool key alt+e
sleep 0.5
xdotool key Down Down Down Return
dialog=$(wait_window '^Import chunks$') || fail "Import chunks... did not open the open dialog"
focus "$dialog"
xdotool type --delay 20 "$(winpath "$csv")"
shot open-dialog
xdotool key Return
wait_gone '^Import chunks$' || fail "the open dialog did not take the typed path"

# The preview: one chunk new, one identical (skipped), one beside Address.
for _ in $(seq 50); do
  shows_text Kelvo 'Import 2 chunks?' && break
  sleep 0.1
done
shows_text Kelvo 'Import 2 chunks?' || fail "no preview: $(probe texts Kelvo)"
for told in '1 new' '1 identical' '1 with the title'; do
  shows_text Kelvo "$told" || fail "the preview lacks '$told': $(probe texts Kelvo)"
done
shot preview
grep -q 'title="Invitation"' "$app/chunks.xml" && fail "stored before the preview was confirmed"
click_at "$(labelled_point Kelvo Button OK)"
wait_file_has 'title="Invitation"' "$app/chunks.xml"
for expected in 'title="Invitation"' 'tags="mail;party"' '1 Main Street' 'id="3"'; do
  grep -q "$expected" "$app/chunks.xml" || fail "chunks.xml lacks $expected: $(cat "$app/chunks.xml")"
done
[ "$(grep -c '12 Oak Lane' "$app/chunks.xml")" -eq 1 ] || fail "the identical chunk was stored again"
shot main-window-imported "$main"

# Found by a word and pasted with Enter.
focus "$main"
xdotool key alt+f
xdotool type --delay 30 ann
sleep 0.5
xdotool key Return
expected='Dear Ann,\r\nsee you at 5, "sharp". é€'
wait_log Notes "text multi $expected" ||
  fail "the field shows '$(field_text Notes multi)', not '$expected'"
say "imported chunk pasted"

exit_from_tray
say passed
