#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Tarvel need.
# Does nothing when they are all present already.
set -eu

packages="cmake ninja-build g++ clang libclang-rt-14-dev
qt6-base-dev libgif-dev libgtest-dev libgmock-dev libbenchmark-dev
fonts-ipaexfont-gothic fonts-noto-core
xvfb xauth x11-utils xdotool imagemagick dpkg-dev file libx11-dev
qt6-multimedia-dev libaubio-dev libsqlite3-dev qt6-charts-dev libqt6opengl6-dev
fluidsynth fluid-soundfont-gm timgm6mb-soundfont sox pulseaudio pulseaudio-utils python3
clang-format-14 clang-tidy qt6-svg-dev desktop-file-utils appstream"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
