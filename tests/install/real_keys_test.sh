#!/bin/sh
# A whole session from the keyboard alone in a real X window (Xvfb, real key
# presses through xdotool): system, part, key, tempo, the run, the answer,
# again, the answer, another key. The records it leaves show it was played;
# a key held down acts once.
#   real_keys_test.sh BUILD_DIR X_CLOSE
set -eu
build="$1"
x_close="$2"
. "$(dirname "$0")/x_session.sh"
sleep 0.5
xdotool windowfocus --sync "$window"
records="$HOME/.local/share/tarvel/system/onkai/Boe/BB/000"
press() { xdotool key "$1"; sleep 0.3; }
# The colour at a place of the window (which opens centred), as "r,g,b".
info="$(xwininfo -id "$window")"
left=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
top=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
colour_at() {
  import -window root -crop "1x1+$((left + $1))+$((top + $2))" +repage "$work/pixel.png"
  convert "$work/pixel.png" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:
}
# Waits until page 5 stands (its first answer button at 400,376), at most $1 s.
wait_for_answers() {
  for _ in $(seq $(( $1 * 2 ))); do
    [ "$(colour_at 410 400)" != "239,239,239" ] && return 0
    sleep 0.5
  done
  fail "page 5 did not come within $1 s"
}

press 1                                   # Boehm
press 3; press BackSpace; press 1         # the A part and back; the B-flat part
# Keys held down act once: the frame moves one key only, and Backspace leads
# back to the key page, not on to the first page.
xdotool keydown Right; sleep 1.2; xdotool keyup Right; sleep 0.3
press Left                                # back on ハ長調
press Return
xdotool keydown BackSpace; sleep 1.2; xdotool keyup BackSpace; sleep 0.3
press Return                              # the frame stands on the key chosen last
press 9                                   # 480 a minute: the run
wait_for_answers 30
press 1                                   # no slips: Ｓ
sleep 2.5
ls "$records" | grep -q ' Ｓ$' || fail "no record Ｓ after the first run: $(ls "$records")"
press Return                              # again, the counter goes on
wait_for_answers 30
press 1
sleep 2.5
ls "$records" | grep -q ' ＳＳ$' || fail "no record ＳＳ after the second run: $(ls "$records")"
press k                                   # another key: the key page with the new record
[ "$(colour_at 74 190)" != "239,239,239" ] || fail "the key page did not come back"

sleep 0.5
import -window root "$work/screen.png"
"$x_close" "$window"
for _ in $(seq 20); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "still running 2 s after the close request"; fi
program=""
echo "real window: a session played from the keyboard alone, records Ｓ then ＳＳ"
