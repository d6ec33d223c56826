#!/bin/sh
# Results survive reinstalling: install, grade a key in the player's data
# folder, install again (and once more with a changed data set), and the
# record is still there.
#   install_test.sh BUILD_DIR
set -eu
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
unset XDG_DATA_HOME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
prefix="$HOME/.local"  # where scripts/run installs

cmake --install "$build" --prefix "$prefix" >/dev/null
data="$("$prefix/bin/tarvel" --update-only)"
[ "$data" = "$HOME/.local/share/tarvel" ] || fail "data folder is $data"
records="$data/system/onkai/Boe/BB/S03"
[ "$(ls "$records" | wc -l)" -eq 1 ] || fail "no initial record in $records"
[ "$(ls "$data")" = "system" ] || fail "the data folder holds more than the data set: $(ls "$data")"

printf 'click P1_Btn1\nclick P2_Btn1\nclick P3_Btn3\nclick P4_Btn5\nclick P5_Btn1\n' >"$work/grade.txt"
(cd "$data" && "$prefix/bin/tarvel-drive" --today 2010-08-28 "$work/grade.txt") || fail "grading run failed"
[ "$(ls "$records")" = "2010.08.28 Ｂ" ] || fail "record after grading: $(ls "$records")"

cmake --install "$build" --prefix "$prefix" >/dev/null
"$prefix/bin/tarvel" --update-only >/dev/null
[ "$(ls "$records")" = "2010.08.28 Ｂ" ] || fail "record after reinstalling: $(ls "$records")"

# An upgrade that changes a picture replaces it, and still leaves the record.
printf 'changed' >>"$prefix/share/tarvel-dataset/system/hyouji/title.gif"
"$prefix/bin/tarvel" --update-only >/dev/null
cmp -s "$prefix/share/tarvel-dataset/system/hyouji/title.gif" "$data/system/hyouji/title.gif" || fail "title not updated"
[ "$(ls "$records")" = "2010.08.28 Ｂ" ] || fail "record after an upgrade: $(ls "$records")"
[ "$(ls "$data/system/onkai/Boe/BB/S04")" = "$(ls "$prefix/share/tarvel-dataset/system/onkai/Boe/BB/S04")" ] ||
  fail "other keys keep their initial record"
echo "record kept across two installs and an upgrade"
