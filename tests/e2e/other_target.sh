#!/usr/bin/env bash
# Another target: the paste target is the program that was in front; Alt+W
# opens the chooser of windows over the paste button, a click picks a second
# program, and the next paste goes there and not to the first.
source "$(dirname "$0")/journey.sh"

app=$(new_folder app)
write_library "$app" '<chunk id="1" title="Hello" tags="greet">hello there</chunk>'
start_target Mail line
start_target Notes line
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open"
focus "$main"

xdotool key alt+w
for _ in $(seq 50); do
  chooser=$(probe toplevels | awk '$1 == "KV_WND_LIST"')
  [ -n "$chooser" ] && break
  sleep 0.1
done
[ -n "$chooser" ] || fail "Alt+W did not open the chooser"
sleep 0.3
shot chooser
# Its rows are the windows a paste may go into, front first: the main window,
# tool windows, owned windows, windows without an area, the shell's (here
# Wine's notification area) and the chooser itself are not among them.
row=$(probe toplevels | awk '$1 != "KV_WND_LIST" && $6 == 0 && $7 == 0 && $4 > 0 && $5 > 0 &&
        $1 !~ /^(Progman|WorkerW|Shell_TrayWnd|Shell_SecondaryTrayWnd|__winex11_standalone_tray)$/ {
        t = $8; for (i = 9; i <= NF; i++) t = t " " $i
        if (t == "Kelvo") next
        if (t == "Mail") { print n; exit }
        n++ }')
[ -n "$row" ] || fail "Mail is not among the windows: $(probe toplevels)"
read -r _ cx cy cw _ <<<"$chooser"
# 40-pixel rows inside a thin frame.
click_at "$((cx + cw / 2)) $((cy + 4 + row * 40 + 20))"
sleep 0.3
[ -z "$(probe toplevels | awk '$1 == "KV_WND_LIST"')" ] || fail "the chooser stayed open"

focus "$main"
xdotool key Return
wait_log Mail 'text line hello there' || fail "the paste did not reach Mail: $(target_log Mail)"
target_log Notes | grep -q '^text ' && fail "the paste reached Notes as well: $(target_log Notes)"
exit_from_tray
say passed
