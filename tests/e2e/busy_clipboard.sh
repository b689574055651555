#!/usr/bin/env bash
# A busy clipboard: another program keeps the clipboard open while a chunk is
# pasted. Nothing arrives in the target, and a message tells the user which
# program holds the clipboard. Once that program has ended, the same paste
# goes through.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
write_library "$app" '<chunk id="1" title="Hello" tags="greet">hello world</chunk>'
start_target Holder line --hold-clipboard
wait_log Holder holding || fail "the holder did not open the clipboard"
holder_pid=$target_pid
# The target is in front when the program starts: it becomes the paste target.
start_target Notes line
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open"
focus "$main"

xdotool key Return
for _ in $(seq 50); do
  shows_text Kelvo "keeps the clipboard open" && break
  sleep 0.1
done
shows_text Kelvo "keeps the clipboard open" || fail "no message about the busy clipboard: $(probe texts Kelvo)"
shot busy-clipboard
shows_text Kelvo "kelvo-paste-target.exe keeps the clipboard open" ||
  fail "the message does not name the program that holds the clipboard"
target_log Notes | grep -q '^text ' && fail "text arrived in the target: $(target_log Notes)"
# The release of the Enter that started the paste may arrive; nothing else.
target_log Notes | grep -v '^key line up 0D$' | grep -q '^key' && fail "keys reached the target"

# The message box has the focus; Enter closes it.
xdotool key Return
sleep 0.5
shows_text Kelvo "keeps the clipboard open" && fail "the message did not close"
kill "$holder_pid"
wait_gone '^Holder$' || fail "the holder did not end"

focus "$main"
xdotool key Return
wait_log Notes 'text line hello world' || fail "the paste after the clipboard came free failed: $(target_log Notes)"
exit_from_tray
say passed
