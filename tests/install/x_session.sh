# Sourced by the real-window tests: installs the build into a temporary
# prefix, starts Xvfb on a display number it picks itself (so tests on a shared
# machine never collide), starts the installed launcher there and sets
# `window` to the id of its window. Expects `build` to be set, and `screen`
# (default 1280x1024) may be; provides `work`, `program`, `window`, `fail`
# and `start_tarvel` (starts it again, setting `program` and `window`). With
# `start=no` it starts nothing.
work="$(mktemp -d)"
server=""
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
Xvfb -displayfd 3 -screen 0 "${screen:-1280x1024}x24" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(cat "$work/display")"
[ "$display" != ":" ] || fail "Xvfb did not start"
export DISPLAY="$display" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

start_tarvel() {
  "$work/prefix/bin/tarvel" &
  program=$!
  window=""
  for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name '^Tarvel$' 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "no window called Tarvel appeared"
}
[ "${start:-yes}" = no ] || start_tarvel
