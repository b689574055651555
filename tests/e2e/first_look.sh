#!/usr/bin/env bash
# First look: every window at its first opening with a library as a user
# grows one (200 tags of 3 to 34 characters, 10,000 chunks of one to six
# lines, a long title, a twelve-line letter, and an encrypted chunk made
# here), at 96 and at 144 DPI: the main window, the window chooser, the
# editor on the letter, the settings, the master password dialog, the
# password asked for the encrypted chunk, the About box and the main window
# with the encrypted chunk. Each is saved as first-look-<dpi>-<window>.png in
# the screenshot folder for a person to look at. Checked here: each window
# opens, and at 144 DPI it is half as large again, give or take what the
# fonts' pixel sizes round to. Wine takes the DPI of a new process from
# HKCU\Control Panel\Desktop\LogPixels; its server is restarted between the
# two, and the prefix is put back to 96 DPI at the end.
source "$(dirname "$0")/journey.sh"

source "$(dirname "$0")/dpi.sh"
password=First-pw1

trap 'cleanup; set_dpi 96' EXIT

# The library, the same in every run.
python3 - "$work/chunks.xml" <<'EOF'
import random, sys
from xml.sax.saxutils import escape, quoteattr
rng = random.Random(20261211)
words = ("address account agenda answer billing budget contract customer delivery "
         "design draft email family feedback form greeting holiday invoice meeting "
         "notes order payment project quote receipt reply report request review "
         "schedule shipping signature support team thanks ticket travel update").split()
tags = set()
while len(tags) < 200:
    tag = "-".join(rng.sample(words, rng.choice((1, 1, 2, 2, 3))))
    if rng.random() < 0.05:
        tag += "-" + rng.choice(("templates", "correspondence", "follow-ups"))
    tags.add(tag)
tags = sorted(tags)
def sentence():
    return " ".join(rng.choice(words) for _ in range(rng.randint(3, 11))).capitalize() + "."
chunks = [
    ("Abstract of the annual customer conference in the north-west region, with its rooms",
     "customer;delivery", "Conference centre\nHall B, Stand 14\nNorth-West Park"),
    ("Letter of thanks", "thanks;customer-reply",
     "\n".join(["Dear Ms Hartley,", "",
                "Thank you for your order and for the kind words about our service.",
                "Your parcel left our warehouse this morning and should reach you",
                "within three working days.[TAB]The tracking number follows below.",
                "", "Tracking: 4711-0815-2026", "",
                "Should anything be missing, reply to this mail and we will help.", "",
                "Kind regards,", "[SHIFT]Sam Porter"])),
]
for n in range(len(chunks), 10000):
    title = " ".join(rng.choice(words) for _ in range(rng.randint(1, 5))).capitalize()
    text = "\n".join(sentence() for _ in range(rng.randint(1, 6)))
    chunks.append((title, ";".join(rng.sample(tags, rng.randint(1, 3))), text))
with open(sys.argv[1], "w", encoding="utf-8") as out:
    out.write('<?xml version="1.0" encoding="UTF-8"?><kelvo><chunks>\n')
    for i, (title, tag_list, text) in enumerate(chunks, 1):
        out.write(f'<chunk id="{i}" title={quoteattr(title)} tags={quoteattr(tag_list)}>'
                  f'{escape(text)}</chunk>\n')
    out.write("</chunks></kelvo>\n")
EOF

# The window's size: "width height".
size_of() {
  xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(WIDTH\|HEIGHT\)=//p' | paste -sd' '
}

# Saves the window as first-look-<dpi>-<name>.png, with what lies over it
# (the chooser over the main window), and notes its size.
look() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$2" |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w "x" h "+" x "+" y}')
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$geometry" +repage "$shots/first-look-$dpi-$1.png"
  echo "$1 $(size_of "$2")" >>"$work/sizes-$dpi"
}

# The wrench button's menu; $1: how many items down.
wrench_menu() {
  focus "$main"
  click_at "$(child_point Kelvo WYN_CUSTOM_BTN 3)"
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
}

for dpi in 96 144; do
  set_dpi "$dpi"
  : >"$work/sizes-$dpi"
  app=$(new_folder "app-$dpi")
  cp "$work/chunks.xml" "$app/chunks.xml"
  start_target Notes multi
  start_kelvo "$app"
  main=$(wait_window '^Kelvo$') || fail "$dpi DPI: the main window did not open"
  # Painted whole, the library being large.
  sleep 3
  look main-window "$main"

  focus "$main"
  xdotool key alt+w
  sleep 1
  look chooser "$main"
  xdotool key Escape

  # The letter, found by its title, opened with the toolbar's edit button.
  focus "$main"
  xdotool key alt+f
  xdotool type --delay 20 "Letter of thanks"
  sleep 1
  click_at "$(child_point Kelvo WYN_CUSTOM_BTN 1)"
  editor=$(wait_window '^Text Chunk$') || fail "$dpi DPI: the editor did not open"
  sleep 1
  look editor "$editor"
  xdotool key Escape
  wait_gone '^Text Chunk$' || fail "$dpi DPI: the editor did not close"
  focus "$main"
  xdotool key alt+f ctrl+a BackSpace

  wrench_menu 1
  settings=$(wait_window '^Kelvo Settings$') || fail "$dpi DPI: the settings did not open"
  sleep 0.5
  look settings "$settings"
  xdotool key Escape
  wait_gone '^Kelvo Settings$' || fail "$dpi DPI: the settings did not close"

  wrench_menu 2
  dialog=$(wait_window '^Set Master Password$') || fail "$dpi DPI: no master password dialog"
  focus "$dialog"
  sleep 0.5
  look master-password "$dialog"
  xdotool type --delay 20 "$password"
  xdotool key Tab
  xdotool type --delay 20 "$password"
  xdotool key Return
  wait_gone '^Set Master Password$' || fail "$dpi DPI: the master password was not taken"

  new_chunk "PIN of the office door" "office"
  xdotool type --delay 20 "2468"
  click_at "$(labelled_point 'Text Chunk' Button 'Encrypt chunk text')"
  xdotool key alt+s
  dialog=$(wait_window '^Enter password$') || fail "$dpi DPI: the password was not asked for"
  focus "$dialog"
  sleep 0.5
  look password "$dialog"
  xdotool type --delay 20 "$password"
  # Remembered for no time: the menu below has no "Forget password".
  xdotool key Tab Home Return
  wait_gone '^Enter password$' || fail "$dpi DPI: the password dialog did not close"
  wait_gone '^Text Chunk$' || fail "$dpi DPI: the editor did not close on Save"
  wait_file_has 'encrypted="1"' "$app/chunks.xml" || fail "$dpi DPI: no encrypted chunk stored"

  # The new chunk is current, in view, with its lock.
  focus "$main"
  sleep 0.5
  look main-window-encrypted "$main"

  # Settings, Master password, Import, Export, About.
  wrench_menu 5
  about=$(wait_window '^About Kelvo$') || fail "$dpi DPI: the About box did not open"
  sleep 0.5
  look about "$about"
  xdotool key Escape
  wait_gone '^About Kelvo$' || fail "$dpi DPI: the About box did not close"

  # The last item of the wrench menu: Exit.
  focus "$main"
  click_at "$(child_point Kelvo WYN_CUSTOM_BTN 3)"
  xdotool key Up Return
  wait_kelvo_end
  kill "$target_pid" 2>/dev/null || true
  say "$dpi DPI: $(paste -sd, "$work/sizes-$dpi")"
done

# Half as large again, give or take the fonts' rounding; the chooser is the
# main window.
while read -r name w1 h1; do
  read -r _ w2 h2 < <(grep "^$name " "$work/sizes-144")
  for pair in "$w1 $w2" "$h1 $h2"; do
    read -r a b <<<"$pair"
    awk -v a="$a" -v b="$b" 'BEGIN { r = b / a; exit !(r >= 1.4 && r <= 1.65) }' ||
      fail "$name grew from $a to $b at 144 DPI, not by 1.4 to 1.65"
  done
done <"$work/sizes-96"
say passed
