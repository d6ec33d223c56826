#!/bin/sh
# The installed program in a real X window (Xvfb): started through the
# launcher, it shows a 1016 x 713 window called "Tarvel" with the title page;
# clicks made while a run ends ("終了") reach no answer button shown after it,
# so the record stays as it was until an answer is clicked on page 5; and a
# window manager's close request ends it at once with status 0.
#   real_window_test.sh BUILD_DIR X_CLOSE
set -eu
build="$1"
x_close="$2"
. "$(dirname "$0")/x_session.sh"
sleep 0.5  # let it paint

info="$(xwininfo -id "$window")"
echo "$info" | grep -q 'Width: 1016' || fail "window width: $info"
echo "$info" | grep -q 'Height: 713' || fail "window height: $info"
xprop -id "$window" WM_NAME | grep -q '"Tarvel"' || fail "caption: $(xprop -id "$window" WM_NAME)"
x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')

# The title picture stands at (288, 136) over the white message label.
import -window root "$work/screen.png"
title="$HOME/.local/share/tarvel/system/hyouji/title.gif"
size="$(identify -format '%wx%h' "$title")"
convert "$work/screen.png" -crop "${size}+$((x + 288))+$((y + 136))" +repage "$work/shown.png"
convert "$title" -background white -flatten "$work/expected.png"
differ="$(compare -metric AE "$work/shown.png" "$work/expected.png" null: 2>&1 || true)"
[ "$differ" = "0" ] || fail "the title picture differs from title.gif in $differ pixels"

# Clicks at (x + dx, y + dy) of the window.
click() { xdotool mousemove "$((x + $1))" "$((y + $2))" click 1; }
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
records="$HOME/.local/share/tarvel/system/onkai/Boe/BB/S01"
before="$(ls "$records")"
click 430 490; sleep 0.5   # Boehm
click 430 490; sleep 0.5   # B-flat part
click 170 180; sleep 0.5   # the key of one sharp
# At 480 a minute this run shows "終了" from 8.5 s after its count-in starts
# (plus its loading time) to page 5 at 10 s. Click the spot of the answer
# "ミスなし" every 0.3 s until 9.7 s after the tempo click: the last clicks
# fall into "終了", none after page 5 has appeared.
start=$(now_ms)
click 700 350              # tempo 480
while [ $(( $(now_ms) - start )) -lt 9400 ]; do sleep 0.3; click 430 396; done
sleep 2.5
after="$(ls "$records")"
[ "$after" = "$before" ] || fail "a click during 終了 graded the run: the record is now $after"
click 430 396              # now the answer is visible: it counts
sleep 2.5
graded="$(ls "$records")"
case "$graded" in
  *" Ｓ") ;;
  *) fail "the answer on page 5 did not grade the run: the record is $graded" ;;
esac

"$x_close" "$window"
for _ in $(seq 20); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then fail "still running 2 s after the close request"; fi
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || fail "exit status $status after the close request"
echo "real window: 1016 x 713, caption Tarvel, title shown, no answer from clicks during 終了, closed with status 0"
