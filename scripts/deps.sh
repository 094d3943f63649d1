#!/bin/sh
# Installs the Debian packages that building, running and testing need,
# and only those that are missing.
set -eu

PACKAGES="build-essential cmake pkg-config liballegro4-dev libgtest-dev
  timgm6mb-soundfont xvfb x11-utils sox ffmpeg imagemagick python3"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
