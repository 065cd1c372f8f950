#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The simulation's check over real levels: every level set of Debian's lbreakout2-data is imported into a
# level file of its own, and the level checker's output on each of them and on the shipped levels must be
# byte for byte what tests/tools/debian_levels.digest records. The checker plays every level with its
# autopilot, so a change to how balls fly, bricks break or capsules fall shows here as a changed digest.
# A change that is meant to alter play (or the checker's words) records the digest again with --record.
# Usage: check-debian-levels.sh [--record] BUILD_DIR
# BUILD_DIR holds tezmola-import-levels, tezmola-check-levels and tezmola.pak.
set -u
record=0
if [ "${1:-}" = --record ]; then
    record=1
    shift
fi
if [ $# -ne 1 ]; then
    echo "Usage: $0 [--record] BUILD_DIR" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
digest_file=$source_dir/tests/tools/debian_levels.digest
sets=/usr/share/games/lbreakout2/levels
package=lbreakout2-data
unset DISPLAY SDL_AUDIODRIVER SDL_VIDEODRIVER
if [ ! -d "$sets" ]; then
    echo "FAILED: $sets is missing: install the package $package (scripts/install-deps.sh)"
    exit 1
fi
version=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One set: imported without the proof (the checker plays it), then checked; names stay relative, so that
# the output does not depend on where the check runs.
check_set() {
    local name=$1
    cd "$work" || exit 1
    "$build/tezmola-import-levels" --no-proof -o "$name.xml" "$sets/$name" 2>/dev/null
    "$build/tezmola-check-levels" "$name.xml" >"$name.out" 2>&1
    rm -f "$name.xml"
}
export -f check_set
export build sets work

cp "$source_dir/data/level.xml" "$work/shipped.xml"
(cd "$work" && "$build/tezmola-check-levels" shipped.xml >shipped.out 2>&1)
find "$sets" -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort >"$work/names"
xargs -a "$work/names" -d '\n' -n 1 -P "$(nproc)" bash -c 'check_set "$1"' _
{
    echo "$package $version"
    (cd "$work" && sha256sum shipped.out)
    while read -r name; do
        (cd "$work" && sha256sum "$name.out")
    done <"$work/names"
} >"$work/digest"

if [ "$record" -eq 1 ]; then
    cp "$work/digest" "$digest_file"
    echo "recorded the checker's output on the shipped levels and $(wc -l <"$work/names") sets in $digest_file"
    exit 0
fi
recorded_version=$(head -1 "$digest_file")
if [ "$recorded_version" != "$package $version" ]; then
    echo "FAILED: the digest was recorded over $recorded_version, but $package $version is installed"
    exit 1
fi
if ! diff -u "$digest_file" "$work/digest" >"$work/changes"; then
    echo "FAILED: the checker's output differs from the recorded digest for:"
    grep '^+[0-9a-f]' "$work/changes" | awk '{ print "    " $2 }'
    exit 1
fi
echo "ok: the checker's output on the shipped levels and $(wc -l <"$work/names") sets matches the digest"
