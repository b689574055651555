#!/usr/bin/env bash
# A library with Alpha and Charlie; Charlie selected, the toolbar's delete
# button asks about it. While the question is open a second writer (a sync
# client) puts a library with Bravo added in place of chunks.xml, and the
# program reads it. Yes deletes Charlie, the chunk the question named, and
# Bravo, which the user never saw, stays.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
cat >"$app/settings.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?><kelvo><settings show-onstart="1"/></kelvo>
XML
write_library "$app" '<chunk id="1" title="Alpha">first</chunk>' \
  '<chunk id="3" title="Charlie">third</chunk>'
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open on start"
tray_icon_centre >/dev/null
sleep 0.5
focus "$main"

# The first row (Alpha) clicked, Down to Charlie, then the delete button.
click_at "$(child_point Kelvo WYN_CUSTOM_LIST 1 30 10)"
xdotool key Down
sleep 0.3
click_at "$(child_point Kelvo WYN_CUSTOM_BTN 2)"
for _ in $(seq 50); do
  shows_text Kelvo "delete the selected chunk 'Charlie'" && break
  sleep 0.1
done
shows_text Kelvo "delete the selected chunk 'Charlie'" || fail "no question about Charlie"
shot question

# The other writer replaces the file in one step, as sync clients do.
write_library "$work" '<chunk id="1" title="Alpha">first</chunk>' \
  '<chunk id="2" title="Bravo">second</chunk>' '<chunk id="3" title="Charlie">third</chunk>'
mv "$work/chunks.xml" "$app/chunks.xml"
# The folder watcher reports once the folder has been quiet for a moment.
sleep 4
shot read-again

# Yes, the question's first button, has the focus.
xdotool key Return
for _ in $(seq 50); do
  grep -q 'Charlie' "$app/chunks.xml" || break
  sleep 0.1
done
file=$(cat "$app/chunks.xml")
grep -q 'title="Charlie"' <<<"$file" && fail "Charlie was not deleted: $file"
grep -q 'title="Bravo"' <<<"$file" || fail "Bravo, never seen by the user, was deleted: $file"
grep -q 'title="Alpha"' <<<"$file" || fail "Alpha was deleted: $file"
shot deleted

exit_from_tray
say passed
