#!/bin/sh
# A launcher that cannot start Tarvel says why in a window, not only on
# standard error (started from the desktop's menu it has no terminal): here
# the data folder's "system/unshi" is a symbolic link, which the launcher
# never writes through. The window names the folder; closing it ends the
# launcher with status 1. "--update-only" keeps to the terminal.
#   launcher_failure_test.sh BUILD_DIR X_CLOSE
set -eu
build="$1"
x_close="$2"
start=no
. "$(dirname "$0")/x_session.sh"

data="$("$work/prefix/bin/tarvel" --update-only)"
mv "$data/system/unshi" "$data/system/unshi-real"
ln -s "$data/system/unshi-real" "$data/system/unshi"

"$work/prefix/bin/tarvel" 2>"$work/stderr" &
program=$!
window=""
for _ in $(seq 100); do
  window="$(xdotool search --onlyvisible --name '^Tarvel を起動できません$' 2>/dev/null | head -n 1 || true)"
  [ -n "$window" ] && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || fail "no window said why Tarvel did not start; standard error: $(cat "$work/stderr")"
grep -q "$data/system/unshi はシンボリックリンク" "$work/stderr" || fail "standard error: $(cat "$work/stderr")"
import -window "$window" "$work/message.png"
[ -s "$work/message.png" ] || fail "the window could not be taken"
"$x_close" "$window"
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$program" || status=$?
program=""
[ "$status" = 1 ] || fail "the launcher ended with $status, not 1"

# The terminal's mode says it on standard error alone, and at once.
status=0
"$work/prefix/bin/tarvel" --update-only >/dev/null 2>"$work/stderr2" || status=$?
[ "$status" = 1 ] || fail "--update-only ended with $status"
grep -q "はシンボリックリンク" "$work/stderr2" || fail "--update-only said: $(cat "$work/stderr2")"
echo "ok"
