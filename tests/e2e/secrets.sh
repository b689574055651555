#!/usr/bin/env bash
# Secrets: a master password set, an encrypted chunk made (its text never in
# chunks.xml), pasted with the password asked for and remembered for a
# minute, pasted again without a prompt, then with one after "Forget
# password"; the clipboard holds no secret once a paste is done. After the
# password is changed, the chunk pastes with the new one.
source "$(dirname "$0")/journey.sh"

secret=4711-secret
touch "$work/started"
app=$(new_folder app)
start_target Notes line
start_kelvo "$app"
main=$(wait_window '^Kelvo$') || fail "the main window did not open"

# The wrench button's menu; $1: how many items down.
wrench_menu() {
  focus "$main"
  click_at "$(child_point Kelvo WYN_CUSTOM_BTN 3)"
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
}

# Types the password into the password dialog; $2: Down presses in the
# remember list from its first entry, "none"; $4: a wrong password typed and
# refused first, after which the right one is typed at once, over it.
give_password() {
  local dialog
  dialog=$(wait_window '^Enter password$') || fail "$3: the password was not asked for"
  focus "$dialog"
  if [ -n "${4:-}" ]; then
    xdotool type --delay 30 "$4"
    xdotool key Return
    sleep 1
    wait_window '^Enter password$' >/dev/null || fail "$3: a wrong password was taken"
  fi
  xdotool type --delay 30 "$1"
  xdotool key Tab Home
  for _ in $(seq "$2"); do xdotool key Down; done
  xdotool key Return
  wait_gone '^Enter password$' || fail "$3: the password dialog did not close"
}

# Pastes the current chunk by Enter and checks that the secret arrived; $2
# the password if it is asked for, $3 as give_password's $2, $4 a wrong
# password typed first.
paste_secret() {
  local before
  before=$(target_log Notes | grep -c '^text line' || true)
  focus "$main"
  xdotool key Return
  [ -z "${2:-}" ] || give_password "$2" "${3:-0}" "$1" "${4:-}"
  for _ in $(seq 50); do
    [ "$(target_log Notes | grep -c '^text line' || true)" -gt "$before" ] && break
    sleep 0.1
  done
  field_text Notes line | grep -q "$secret\$" || fail "$1: the secret did not arrive: $(field_text Notes line)"
  say "$1: pasted"
}

# Once a paste is done the clipboard is given back: it holds no secret.
no_secret_on_clipboard() {
  sleep 0.5
  local clip
  clip=$(probe clipboard) || fail "the clipboard could not be read"
  [[ "$clip" == *"$secret"* ]] && fail "the secret stays on the clipboard: $clip"
  return 0
}

wrench_menu 2
dialog=$(wait_window '^Set Master Password$') || fail "the master password dialog did not open"
focus "$dialog"
xdotool type --delay 30 First-pw1
xdotool key Tab
xdotool type --delay 30 First-pw1
xdotool key Return
wait_gone '^Set Master Password$' || fail "the master password was not taken"
grep -q '<password' "$app/chunks.xml" || fail "no wrapped key in chunks.xml"

new_chunk PIN bank
xdotool type --delay 30 "$secret"
click_at "$(labelled_point 'Text Chunk' Button 'Encrypt chunk text')"
xdotool key alt+s
give_password First-pw1 0 "saving"
wait_gone '^Text Chunk$' || fail "the editor did not close on Save"
# The browser stores what the editor gave it once the editor has gone.
wait_file_has 'encrypted="1"' "$app/chunks.xml" || fail "the chunk is not stored encrypted"
grep -q "$secret" "$app/chunks.xml" && fail "the secret is in chunks.xml in clear"

# The first entry after "none" is a minute.
paste_secret "first paste" First-pw1 1
grep -q 'clipboard text=4711-secret.*ExcludeClipboardContentFromMonitorProcessing=0' \
  "$work/Notes.log" || fail "the secret went on the clipboard without its privacy formats"
no_secret_on_clipboard
paste_secret "second paste, remembered"
wait_gone '^Enter password$' || fail "asked for a remembered password"

# Settings, Master password, Forget password.
wrench_menu 3
paste_secret "after Forget password, mistyped first" First-pw1 0 First-pw2
no_secret_on_clipboard

wrench_menu 2
dialog=$(wait_window '^Set Master Password$') || fail "the master password dialog did not open again"
focus "$dialog"
xdotool type --delay 30 First-pw2
xdotool key Tab
xdotool type --delay 30 Second-pw2
xdotool key Tab
xdotool type --delay 30 Second-pw2
xdotool key Return
# The old password mistyped: refused, and typed again at once over it.
sleep 1
wait_window '^Set Master Password$' >/dev/null || fail "a wrong old password was taken"
xdotool type --delay 30 First-pw1
xdotool key Return
wait_gone '^Set Master Password$' || fail "the password was not changed after retyping the old one"
paste_secret "with the new password" Second-pw2 0
no_secret_on_clipboard

# No file the program wrote, beside it or in Wine's prefix (registry, profile),
# holds the secret, in UTF-8 or UTF-16.
utf16=$(printf '%s' "$secret" | sed 's/./&\\x00/g')
while IFS= read -r -d '' file; do
  if LC_ALL=C grep -qaF "$secret" "$file" || LC_ALL=C grep -qaP "$utf16" "$file"; then
    fail "the secret is in a file the program wrote: $file"
  fi
done < <(find "$app" "$WINEPREFIX" -type f -newer "$work/started" -print0 2>/dev/null)
exit_from_tray
say passed
