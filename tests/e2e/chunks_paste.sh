#!/usr/bin/env bash
# Three chunks made in the editor: one with tags and a key token typed with
# the "[" completion, one with a key from the Insert Key menu, one of two
# lines. Each is found by a word and a "#tag" completed from the tags, and
# pasted into the target program, by Enter, by a double click and by the
# paste button; the hotkey, pressed in the target, brings the main window
# back each time. The target's log shows exactly the text and keys expected.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
# The default delays: each text run waits for the target to read it,
# however busy the machine running the other tests beside this one.
cat >"$app/settings.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?><kelvo><settings hotkey="1622" show-onstart="0"/></kelvo>
EOF
start_kelvo "$app"
tray_icon_centre >/dev/null
start_target Notes multi
notes=$(wait_window '^Notes$') || fail "no target window"

open_main
new_chunk Greeting "mail;greet"
# "[" offers the key tokens; "ho" narrows them to HOME], Enter takes it.
xdotool type --delay 30 'Dear Sam,['
sleep 0.3
xdotool type --delay 30 ho
xdotool key Return
xdotool type --delay 30 Thanks
# Hiding the completion holds the program for two seconds (a Wine prefix
# with managed windows and no window manager): the rest shows after that.
sleep 3
shot editor "$editor"
save_chunk

new_chunk Sign-off mail
xdotool type --delay 30 Regards
# The menu lists TAB, CAPSLOCK, SHIFT, CTRL, BACKSPACE, ...
xdotool key alt+i
sleep 0.5
xdotool key Down Down Down Down Down Return
save_chunk

new_chunk Address home
xdotool type --delay 30 '12 Oak Lane'
xdotool key Return
xdotool type --delay 30 Springfield
save_chunk

for expected in 'title="Greeting"' 'Dear Sam,\[HOME\]Thanks' 'Regards\[BACKSPACE\]' 'Springfield' \
  'tags="mail;greet"'; do
  grep -q "$expected" "$app/chunks.xml" || fail "chunks.xml lacks $expected: $(cat "$app/chunks.xml")"
done
shot main-window "$main"

# Alt+F to the find box (its text selected), "#" offers the tags, the first
# letters pick one, Enter takes it; a word narrows the list further.
find_chunk() {
  focus "$main"
  xdotool key alt+f
  xdotool type --delay 30 '#'
  sleep 0.3
  xdotool type --delay 30 "$1"
  xdotool key Return
  xdotool type --delay 30 " $2"
  sleep 0.5
}

# The paste's keys as the target saw them (its Ctrl+V lines and all), and
# the multi-line field's text. The release of the Enter that started a paste
# may reach the target (sent by the paste, and by the key itself when the
# user lets go): it presses nothing, and is left out.
check_paste() {
  local keys
  wait_log Notes "text multi $2" || fail "$1: the field shows '$(field_text Notes multi)', not '$2'"
  sleep 0.3
  keys=$(keys_after Notes "$before" | grep -v ' up 0D$' | paste -sd,)
  [ "$keys" = "$3" ] || fail "$1: keys $keys, expected $3"
  say "$1: pasted"
}

ctrl_v='multi down 11,multi down 56,multi up 56,multi up 11'

# In title order Address comes first: only the search brings the others up.
find_chunk ma regards
before=$(log_length Notes)
xdotool key Return
check_paste "Sign-off by Enter" 'Regard' "$ctrl_v,multi down 08,multi up 08"

open_main
find_chunk gr sam
before=$(log_length Notes)
click_at "$(child_point Kelvo WYN_CUSTOM_LIST 1 30 10)" 2
check_paste "Greeting by double click" 'ThanksRegardDear Sam,' \
  "$ctrl_v,multi down 24,multi up 24,$ctrl_v"

open_main
find_chunk ho oak
shot main-window-found
before=$(log_length Notes)
click_at "$(child_point Kelvo WYN_CUSTOM_BTN 5)"
check_paste "Address by the paste button" 'Thanks12 Oak Lane\r\nSpringfieldRegardDear Sam,' \
  "$ctrl_v"

exit_from_tray
say passed
