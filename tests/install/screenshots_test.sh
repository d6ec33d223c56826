#!/bin/sh
# The README's screenshots are what the driver shows today.
#   screenshots_test.sh SOURCE_DIR BUILD_DIR
set -eu
source="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$source/scripts/screenshots" "$build" "$work/shots"
status=0
for shot in "$source"/docs/screenshots/*.png; do
  name="$(basename "$shot")"
  differ="$(compare -metric AE "$shot" "$work/shots/$name" null: 2>&1 || true)"
  if [ "$differ" != "0" ]; then
    echo "docs/screenshots/$name differs from the driver's in $differ pixels: run scripts/screenshots" >&2
    status=1
  fi
done
exit $status
