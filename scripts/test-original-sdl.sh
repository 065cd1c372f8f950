#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs the real program against the original SDL 1.2 library (Debian's libsdl1.2debian), which apt installs
# for most players, while the build links the SDL 2-based compatibility library: start-up, a short game,
# the start-up without a display and a session of the level editor beside it. The library is fetched with
# apt-get download, unpacked into a cache folder and put first on LD_LIBRARY_PATH; every window the tests
# wait for proves, from /proc/PID/maps, that the game mapped that library and no other.
# Usage: scripts/test-original-sdl.sh <program or launcher> [cache-dir]   (default cache: build/original-sdl)
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -ge 1 ] && [ -x "$1" ] || {
    echo "usage: $0 <program or launcher> [cache-dir]" >&2
    exit 2
}
program="$(readlink -f "$1")"
cache="$(mkdir -p "${2:-$source_dir/build/original-sdl}" && cd "${2:-$source_dir/build/original-sdl}" && pwd)"
packages="libsdl1.2debian libcaca0 libslang2"

find_library() { find "$cache/root" -name 'libSDL-1.2.so.0' -print -quit 2>/dev/null; }

if [ -z "$(find_library)" ]; then
    echo "test-original-sdl: fetching $packages"
    rm -rf "$cache/debs" "$cache/root"
    mkdir -p "$cache/debs"
    # Package lists may be missing on a fresh machine; refresh them once then.
    if ! (cd "$cache/debs" && apt-get download -qq $packages 2>/dev/null); then
        SUDO=""
        [ "$(id -u)" -ne 0 ] && SUDO="sudo"
        $SUDO apt-get update -qq
        (cd "$cache/debs" && apt-get download -qq $packages 2>/dev/null)
    fi
    for deb in "$cache"/debs/*.deb; do
        dpkg-deb -x "$deb" "$cache/root"
    done
fi
library="$(find_library)"
[ -n "$library" ] || {
    echo "test-original-sdl: FAILED: no libSDL-1.2.so.0 in $packages" >&2
    exit 1
}
echo "test-original-sdl: $(readlink -f "$library") for $program"

export LD_LIBRARY_PATH="$(dirname "$library")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export E2E_SDL_LIBRARY="$library"
for test in startup_test game_test startup_failure_test editor_test; do
    bash "$source_dir/tests/e2e/$test.sh" "$program" "$source_dir"
done
echo "test-original-sdl: passed"
