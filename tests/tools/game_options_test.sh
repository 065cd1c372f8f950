#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The game's options that open no window: --help, --version, usage errors and --list-levels, which a
# launcher runs to show the shelf of level sets. No display and no sound device are needed.
# Usage: game_options_test.sh PATH/TO/tezmola SOURCE_DIR
set -u
game=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY SDL_AUDIODRIVER SDL_VIDEODRIVER XDG_DOCUMENTS_DIR XDG_CONFIG_HOME
export HOME="$work/home"
mkdir "$HOME"
failures=0
failed() { echo "FAILED: $*"; failures=$((failures + 1)); [ -z "${TEZMOLA_MUTANT:-}" ] || exit 1; }

# run NAME OPTION...: the game's status in $status, its output in $work/NAME.out and .err.
run() {
    local name=$1
    shift
    "$game" "$@" >"$work/$name.out" 2>"$work/$name.err"
    status=$?
}
expect_output() { diff "$2" "$work/$1.out" >"$work/$1.diff" || failed "$1 printed: $(cat "$work/$1.diff")"; }

run help --help
[ "$status" = 0 ] && head -1 "$work/help.out" | grep -q -x -F "Usage: tezmola [OPTION]..." || failed "--help"
run version --version
[ "$status" = 0 ] && grep -q "^tezmola (Tezmola) [0-9]" "$work/version.out" || failed "--version"
run bogus --bogus
[ "$status" = 2 ] || failed "an unknown option: status $status"

# A player who never ran the game: Tezmola's own levels, from the game's archive, and no folder made.
tab=$'\t'
pak=$(dirname "$game")/tezmola.pak
run fresh --list-levels
[ "$status" = 0 ] || failed "--list-levels in a fresh home: status $status: $(cat "$work/fresh.err")"
expect_output fresh <(echo "Tezmola${tab}32${tab}32${tab}$pak")
[ -z "$(ls -A "$HOME")" ] || failed "--list-levels made $(ls -A "$HOME")"

# The player's own level.xml, a set linked into the shelf and a damaged set: each with its file, the
# damaged one with its reason; the game's own set is still the archive's. Nothing is written.
folder="$HOME/My Games/Tezmola"
mkdir -p "$folder/levels" "$work/elsewhere"
sed -n '1,/<\/level>/p' "$source_dir/data/level.xml" >"$work/one.xml"
[ "$(grep -c '<level>' "$work/one.xml")" = 1 ] || failed "the shipped level file's first level was not found"
cp "$work/one.xml" "$folder/level.xml"
cp "$work/one.xml" "$work/elsewhere/Linked.xml"
ln -s "$work/elsewhere/Linked.xml" "$folder/levels/Linked.xml"
printf '<level>\n<tezm></level>\n' >"$folder/levels/Damaged.xml"
before=$(ls -lR "$HOME")
run shelf --list-levels
[ "$status" = 0 ] || failed "--list-levels: status $status: $(cat "$work/shelf.err")"
expect_output shelf <(
    echo "Tezmola${tab}32${tab}32${tab}$pak"
    echo "level.xml${tab}1${tab}0${tab}$folder/level.xml"
    echo "Damaged${tab}-${tab}-${tab}$folder/levels/Damaged.xml${tab}it is not well-formed (line 2)"
    echo "Linked${tab}1${tab}0${tab}$folder/levels/Linked.xml"
)
[ "$before" = "$(ls -lR "$HOME")" ] || failed "--list-levels changed the player's folder"

echo "$failures failed"
[ "$failures" -eq 0 ]
