#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing Tezmola need.
# Does nothing when everything is already present.
set -e
PACKAGES="build-essential cmake pkg-config libsdl1.2-compat-dev libsdl-mixer1.2-dev libphysfs-dev \
libtinyxml-dev libpng-dev zlib1g-dev libgl-dev libboost-dev googletest libgtest-dev libgmock-dev \
libbenchmark-dev xvfb xdotool python3 libx11-6 libxfixes3 imagemagick librsvg2-bin zip desktop-file-utils appstream \
reuse lintian ccache debhelper dpkg-dev strip-nondeterminism autopkgtest xauth clang clang-tidy libclang-rt-dev python3-clang lbreakout2-data"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
