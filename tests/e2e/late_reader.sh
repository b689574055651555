#!/usr/bin/env bash
# Programs that read the clipboard late: a chunk of three text runs joined by
# Enter keys, pasted with the default delays into a program that is busy for
# 300 ms at every Ctrl+V, arrives whole and in order. Pasted into a program
# that never reads, the paste stops at its first text with a message naming
# the chunk, and nothing more reaches the program.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
write_library "$app" '<chunk id="1" title="Three lines" tags="late">alpha[ENTER]bravo[ENTER]charlie</chunk>'
# The target is in front when the program starts: it becomes the paste target.
start_target Late multi --read-late
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open"
focus "$main"

xdotool key Return
wait_log Late 'text multi alpha\r\nbravo\r\ncharlie' ||
  fail "the chunk did not arrive whole: $(field_text Late multi)"
[ "$(target_log Late | grep '^clipboard')" = "$(printf 'clipboard text=%s\n' alpha bravo charlie)" ] ||
  fail "the runs were not read one each, in order: $(target_log Late | grep '^clipboard')"
shot late-reader
say "a late reader got every run"

exit_from_tray

# The program that never reads is in front when the program starts again.
start_target Deaf line --never-read
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open again"
focus "$main"
xdotool key Return
for _ in $(seq 100); do
  shows_text Kelvo "did not take the text" && break
  sleep 0.1
done
shows_text Kelvo 'The paste of "Three lines" was stopped: the window to paste into did not take the text.' ||
  fail "no message about the text not taken: $(probe texts Kelvo)"
shot never-read
# The release of the Enter that started the paste, then the one Ctrl+V.
keys=$(target_log Deaf | sed -n 's/^key //p' | grep -v '^line up 0D$' || true)
[ "$keys" = "$(printf 'line %s\n' 'down 11' 'down 56' 'up 56' 'up 11')" ] ||
  fail "more than the first Ctrl+V reached the program that never reads: $keys"
target_log Deaf | grep -q '^text ' && fail "text arrived in the program that never reads"

# The message box has the focus; Enter closes it.
xdotool key Return
sleep 0.5
shows_text Kelvo "did not take the text" && fail "the message did not close"
exit_from_tray
say passed
