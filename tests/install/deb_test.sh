#!/bin/sh
# The Debian package: built with CPack, unpacked into a scratch root, its
# dependencies named, and its data set passing the checker.
#   deb_test.sh BUILD_DIR
set -eu
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack failed"
deb="$(ls "$work"/out/*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
for wanted in libqt6widgets6 libqt6gui6 "fonts-ipaexfont-gothic | fonts-noto-cjk"; do
  echo "$depends" | grep -qF "$wanted" || fail "Depends lacks $wanted: $depends"
done
dpkg -x "$deb" "$work/root"
for file in usr/bin/tarvel usr/bin/tarvel-drive usr/bin/tarvel-check usr/libexec/tarvel/tarvel-app \
            usr/share/applications/invalid.tarvel.Tarvel.desktop usr/share/metainfo/invalid.tarvel.Tarvel.metainfo.xml \
            usr/share/icons/hicolor/32x32/apps/invalid.tarvel.Tarvel.png \
            usr/share/icons/hicolor/256x256/apps/invalid.tarvel.Tarvel.png \
            usr/share/icons/hicolor/scalable/apps/invalid.tarvel.Tarvel.svg usr/share/doc/tarvel/COPYING; do
  [ -e "$work/root/$file" ] || fail "the package lacks /$file"
done
# As installed, the desktop entry names the icon and the metainfo the entry.
desktop-file-validate "$work/root/usr/share/applications/invalid.tarvel.Tarvel.desktop" || fail "the desktop entry"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/invalid.tarvel.Tarvel.metainfo.xml" >/dev/null ||
  fail "the metainfo"
grep -q '^Icon=invalid.tarvel.Tarvel$' "$work/root/usr/share/applications/invalid.tarvel.Tarvel.desktop" ||
  fail "the desktop entry does not name the installed icon"
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" "$work/root/usr/bin/tarvel-check" "$work/root/usr/share/tarvel-dataset" ||
  fail "the packaged data set does not pass the checker"
echo "package $(basename "$deb"): depends on $depends; its data set passes the checker"
