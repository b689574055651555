#!/usr/bin/env bash
# The library survives a crash while it is saved, and an unreadable one is
# kept. A library of 1,000 chunks; one chunk is saved from the editor again
# and again (its title one letter longer each time), and now and then
# kelvo.exe is killed at a random moment while it writes chunks.xml: after
# each kill chunks.xml parses, holds all 1,000 chunks, and the edited chunk
# has the title of the save before or of the one cut short, nothing else,
# once kelvo.exe has started again and read it (keeping no unreadable copy).
# Then, started on an unreadable chunks.xml, the program says so, shows an
# empty list, and keeps the first new chunk waiting without touching the file;
# once the user moves the file away, the chunk starts a new library.
# Every dialog that ends costs two seconds in a Wine prefix with managed
# windows and no window manager, so the rounds are few.
source "$(dirname "$0")/journey.sh"

kills=8
chunks=1000
seed=${KELVO_E2E_SEED:-$RANDOM}
RANDOM=$seed
say "random seed $seed"

app=$(new_folder app)
{
  echo '<?xml version="1.0" encoding="UTF-8"?><kelvo><chunks>'
  for i in $(seq 2 "$chunks"); do
    echo "<chunk id=\"$i\" title=\"note $i\" tags=\"bulk\">text of note $i with some words</chunk>"
  done
  # First in title order, so the list starts on it.
  echo '<chunk id="1" title="a" tags="edited">the edited chunk</chunk>'
  echo '</chunks></kelvo>'
} >"$app/chunks.xml"
# A double click or Enter opens the editor.
cat >"$app/settings.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?><kelvo next-id="$((chunks + 1))"><settings paste-on-dblclick="0"/></kelvo>
EOF

# Prints the number of chunks and the edited chunk's title; fails when the
# file does not parse.
read_library() {
  python3 - "$1" <<'EOF'
import sys, xml.etree.ElementTree as tree
chunks = tree.parse(sys.argv[1]).getroot().find("chunks")
titles = {c.get("id"): c.get("title") for c in chunks}
print(len(chunks), titles.get("1", "-"))
EOF
}

# Kills kelvo.exe as soon as a temporary file of chunks.xml appears (the
# write has begun), after a random part of $1 milliseconds; prints how long
# the write had run by then.
kill_in_write() {
  python3 - "$app" "$kelvo_pid" "$1" "$RANDOM" "$work/watching" <<'EOF'
import os, random, signal, sys, time
folder, pid, span, seed, ready = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
random.seed(seed)
open(ready, "w").close()
deadline = time.monotonic() + 10
while not any(n.startswith("chunks.xml.") and n.endswith(".kelvo-tmp") for n in os.listdir(folder)):
    if time.monotonic() > deadline:
        sys.exit("no write began")
begun = time.monotonic()
time.sleep(random.uniform(0, span) / 1000)
os.kill(pid, signal.SIGKILL)
print("%.1f" % ((time.monotonic() - begun) * 1000))
EOF
}

start_main() {
  start_kelvo "$app"
  main=$(wait_window '^Kelvo$') || fail "the main window did not open"
  focus "$main"
  # A click on the first row: the chunk list has the focus.
  click_at "$(child_point Kelvo WYN_CUSTOM_LIST 1 30 10)"
}

# Enter opens the editor on the chunk; End and one more letter. Alt+S saves.
edit_longer() {
  wait_gone '^Text Chunk$' || fail "round $round: the editor stayed on the screen"
  xdotool key Return
  editor=$(wait_window '^Text Chunk$') || fail "round $round: the editor did not open"
  focus "$editor"
  title=${title}a
  xdotool key End a
}

start_main
title=a
for round in $(seq "$kills"); do
  # None to two saves that finish, then one cut short.
  for _ in $(seq $((RANDOM % 3))); do
    edit_longer
    xdotool key alt+s
    wait_file_has "title=\"$title\"" "$app/chunks.xml" 100 ||
      fail "round $round: the save did not reach the file"
    focus "$main"
  done
  old=$title
  edit_longer
  # A write of this library takes some 30 ms here: the kill lands anywhere
  # in it, now and then just after it. The watcher is looking before the
  # save begins, however slowly it starts.
  rm -f "$work/watching"
  kill_in_write 40 >"$work/killed" 2>&1 &
  watcher=$!
  for _ in $(seq 100); do
    [ -f "$work/watching" ] && break
    sleep 0.1
  done
  xdotool key alt+s
  wait "$watcher" || fail "round $round: $(cat "$work/killed")"
  after=$(cat "$work/killed")
  wait "$kelvo_pid" 2>/dev/null || true
  # Between the two moves of a replace there is no chunks.xml, only the new
  # one under its temporary name: the program puts it in place when it reads.
  restored=
  [ -f "$app/chunks.xml" ] || restored="; it was put in place at the start"
  start_main
  ls "$app" | grep -q unreadable && fail "round $round: kelvo.exe could not read chunks.xml"
  library=$(read_library "$app/chunks.xml") || fail "round $round: chunks.xml does not parse"
  read -r count found <<<"$library"
  [ "$count" -eq "$chunks" ] || fail "round $round: $count chunks, not $chunks"
  [ "$found" = "$old" ] || [ "$found" = "$title" ] ||
    fail "round $round: the edited chunk is titled '$found', neither '$old' nor '$title'"
  say "round $round: killed $after ms into the write; chunks.xml holds the $([ "$found" = "$title" ] && echo new || echo old) library$restored"
  title=$found
done
exit_from_tray

# An unreadable library: cut off in the middle.
rm -f "$app/settings.xml"
head -c 5000 "$app/chunks.xml" >"$work/broken.xml"
cp "$work/broken.xml" "$app/chunks.xml"
start_kelvo "$app"
# The user is told first, in a box of the program's name.
notice=$(wait_window '^Kelvo$') || fail "the unreadable library was not told"
focus "$notice"
xdotool key Return
main=
for _ in $(seq 100); do
  main=$(xdotool search --onlyvisible --name '^Kelvo$' 2>/dev/null | grep -vx "$notice" | tail -n 1 || true)
  [ -n "$main" ] && break
  sleep 0.1
done
[ -n "$main" ] || fail "the main window did not open on an unreadable library"
sleep 0.5
[ "$(colours_in Kelvo WYN_CUSTOM_LIST 1)" -eq 1 ] || fail "the chunk list is not empty"
new_chunk Fresh new
xdotool type --delay 30 'a new start'
save_chunk
sleep 0.5
shot unreadable-library
# Kelvo holds only the new chunk: it never writes that over the library.
cmp -s "$work/broken.xml" "$app/chunks.xml" || fail "the unreadable library was written over"
ls "$app" | grep -q '^chunks\.xml\.unreadable-' && fail "a copy was kept of a file never written"
# The user moves the file away: the waiting chunk starts a new library, at
# the latest with the next look at the files (every 30 s).
mv "$app/chunks.xml" "$work/moved.xml"
for _ in $(seq 200); do
  [ -s "$app/chunks.xml" ] && break
  sleep 0.2
done
library=$(read_library "$app/chunks.xml") || fail "the new chunks.xml does not parse"
read -r count title <<<"$library"
[ "$count" -eq 1 ] && grep -q 'title="Fresh"' "$app/chunks.xml" ||
  fail "the new chunk was not saved alone: $(cat "$app/chunks.xml")"
exit_from_tray
say passed
