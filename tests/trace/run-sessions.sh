#!/bin/sh
# Drives every session of tests/trace/sessions through tarvel-drive --trace,
# each in a fresh copy of the built data set, and writes its trace to OUT_DIR.
#   run-sessions.sh BUILD_DIR OUT_DIR
# A session's first lines may say "# listen: NAME" (a rendered performance as
# the microphone) and "# setup: COMMAND" (run in the copy before the driver).
# The copy's own path is written as DATA, so traces do not depend on where
# they were made.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
out="$2"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for session in "$here"/sessions/*.drive; do
  name="$(basename "$session" .drive)"
  folder="$work/$name"
  mkdir -p "$folder"
  cp -r "$build/data/system" "$folder/"
  options=""
  listen="$(sed -n 's/^# listen: //p' "$session")"
  if [ -n "$listen" ]; then
    wav="$build/performances/$listen.wav"
    [ -f "$wav" ] || { echo "run-sessions: $wav is missing: build the target tarvel_performances" >&2; exit 1; }
    options="--listen $wav"
  fi
  setup="$(sed -n 's/^# setup: //p' "$session")"
  [ -z "$setup" ] || (cd "$folder" && sh -c "$setup")
  # shellcheck disable=SC2086
  (cd "$folder" && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" LC_ALL=C.UTF-8 \
    "$build/src/drive/tarvel-drive" --trace --today 2026-12-07 $options "$session" >"$work/$name.out" 2>/dev/null) ||
    echo "exit $?" >>"$work/$name.out"
  sed "s|$folder|DATA|g; s|$build/performances|PERFORMANCES|g" "$work/$name.out" >"$out/$name.trace"
done
