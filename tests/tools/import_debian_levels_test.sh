#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every level set of Debian's lbreakout2-data package through the level importer, with the proof: each
# "Level:" of the sets is written as a level, no set has an error, and the autopilot clears every level
# that has a brick to clear (the others, empty levels and network arenas of steel, are the only ones left
# unproven); and a game recorded on one imported set plays as it did on the set the importer puts on the
# shelf. scripts/install-deps.sh installs the package.
# Usage: import_debian_levels_test.sh PATH/TO/tezmola-import-levels
set -u
importer=$1
sets=/usr/share/games/lbreakout2/levels
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY SDL_AUDIODRIVER SDL_VIDEODRIVER
if [ ! -d "$sets" ]; then
    echo "FAILED: $sets is missing: install the package lbreakout2-data (scripts/install-deps.sh)"
    exit 1
fi
failures=0
failed() { echo "FAILED: $*"; failures=$((failures + 1)); }

"$importer" -o "$work/all.xml" "$sets"/* 2>"$work/report"
status=$?
tail -1 "$work/report"
set_count=$(find "$sets" -maxdepth 1 -type f | wc -l)
level_count=$(cat "$sets"/* | tr -d '\r' | grep -c -x 'Level:')
written=$(grep -c '^<level[ >]' "$work/all.xml")
[ "$written" -eq "$level_count" ] || failed "$written levels written, but the sets hold $level_count"
grep -q -F "$set_count sets, $level_count levels imported" "$work/report" || failed "the summary does not count $set_count sets and $level_count levels"
grep -q -F "; 0 errors;" "$work/report" || { failed "the sets were not read without error:"; grep ': error: ' "$work/report"; }
unproven=$(grep -E '^Level [0-9]+: ' "$work/report" | grep -v -E ': cleared in |: nothing to clear$')
[ -z "$unproven" ] || failed "levels with bricks to clear that the autopilot did not clear:"$'\n'"$unproven"
cleared=$(grep -c -E '^Level [0-9]+: .*: cleared in ' "$work/report")
echo "$level_count levels of $set_count sets written, $cleared proven cleared (exit status $status)"
# Levels with nothing to clear are noted, not failed: every set was read and written.
[ "$status" -eq 0 ] || failed "the import exited with $status"

# A game recorded on an imported set plays as it did on the set the importer puts on the shelf.
checker=$(dirname "$importer")/tezmola-check-levels
golden=$(cd "$(dirname "$0")/../data/replays" && pwd)/imported.tzr
HOME=$work "$importer" --no-proof --install "$sets/Fantaisie" 2>/dev/null
verdict=$(HOME=$work "$checker" --replay "$golden")
[[ "$verdict" == *": as claimed" ]] || failed "the replay on the imported set: $verdict"

echo "$failures failed"
[ "$failures" -eq 0 ]
