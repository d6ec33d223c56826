#!/bin/sh
# The whole page on a small or scaled screen (Xvfb): the installed program's
# window opens wholly inside the screen, and the size the player gives it is
# the size it has at the next start.
#   fit_screen_test.sh BUILD_DIR X_CLOSE SCREEN SCALE   (e.g. 1024x768 1, 1920x1200 2)
set -eu
build="$1"
x_close="$2"
screen="$3"
export QT_SCALE_FACTOR="$4"
. "$(dirname "$0")/x_session.sh"
sleep 0.8  # let it place itself

screen_width="${screen%x*}"
screen_height="${screen#*x}"
place() {
  info="$(xwininfo -id "$window")"
  x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
  width=$(echo "$info" | sed -n 's/.*Width: *//p')
  height=$(echo "$info" | sed -n 's/.*Height: *//p')
}
place
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + width)) -le "$screen_width" ] && [ $((y + height)) -le "$screen_height" ] ||
  fail "on $screen at scale $QT_SCALE_FACTOR the window ${width}x$height+$x+$y is not wholly on the screen"
# The page keeps its proportions and fills the window one way: it is as
# large as the screen lets it be, not a corner of it.
[ $((width * 713)) -ge $((height * 1016 - 1016)) ] && [ $((width * 713)) -le $((height * 1016 + 1016)) ] ||
  fail "the window ${width}x$height does not have the page's proportions"
[ "$width" -ge $((screen_width * 3 / 4)) ] || [ "$height" -ge $((screen_height * 3 / 4)) ] ||
  [ "$width" -eq $((1016 * QT_SCALE_FACTOR)) ] || fail "the window ${width}x$height is smaller than it need be"
first="${width}x$height+$x+$y"

# The player makes it smaller; the next start keeps that size.
wanted_width=$((width * 4 / 5))
wanted_height=$((height * 3 / 4))
xdotool windowsize "$window" "$wanted_width" "$wanted_height"
sleep 0.5
"$x_close" "$window"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "exit status $status after the close request"
[ -s "$HOME/.config/tarvel/window.conf" ] || fail "no window.conf in the user's config folder"
start_tarvel
sleep 0.8
place
[ "$width" -eq "$wanted_width" ] && [ "$height" -eq "$wanted_height" ] ||
  fail "the window opened at ${width}x$height, not at the ${wanted_width}x$wanted_height it was left at"
"$x_close" "$window"
wait "$program" || true
program=""
echo "on $screen at scale $QT_SCALE_FACTOR: opened at $first, whole; reopened at the size it was left at"
