#!/bin/sh
# The driven sessions trace exactly as recorded in tests/trace/expected.
#   sessions_test.sh SOURCE_DIR BUILD_DIR
# When a change is meant to alter what a session does, record the traces
# again with tests/trace/run-sessions.sh BUILD_DIR tests/trace/expected and
# say why in the commit.
set -eu
source="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$source/tests/trace/run-sessions.sh" "$build" "$work"
status=0
for expected in "$source"/tests/trace/expected/*.trace; do
  name="$(basename "$expected")"
  if ! cmp -s "$expected" "$work/$name"; then
    echo "tests/trace/expected/$name differs from today's trace:" >&2
    diff "$expected" "$work/$name" | head -n 20 >&2 || true
    status=1
  fi
done
for made in "$work"/*.trace; do
  [ -f "$source/tests/trace/expected/$(basename "$made")" ] ||
    { echo "no recorded trace for $(basename "$made")" >&2; status=1; }
done
exit $status
