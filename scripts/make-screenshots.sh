#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Captures the README's screenshots from the real game: levels 1, 10 and 30 (F12 skips ahead a level),
# each a moment after the launch, in an 800 x 600 window. The game runs from a folder that holds only the
# program and its archive, as a player would have it, under the end-to-end tests' harness.
# Usage: scripts/make-screenshots.sh [build-dir]   (built beforehand; writes docs/screenshots/*.png)

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$source_dir/build}"
out_dir="$source_dir/docs/screenshots"
source "$source_dir/tests/e2e/lib.sh" "$build_dir/tezmola" "$source_dir"
require_tools import

mkdir -p "$WORK/game" "$out_dir"
cp "$TEZMOLA" "$(dirname "$TEZMOLA")/tezmola.pak" "$WORK/game/" || fail "cannot copy the game"
TEZMOLA="$WORK/game/tezmola"

start_display
# The first run opens the default window; resized, the game keeps the new size for the next run.
start_game
wait_for_window
resize_window 800 600
wait_until 30 window_is 800x600 || fail "window is $(window_size), expected 800x600"
send_keys Escape
wait_for_exit
expect_status 0
start_game
wait_for_window
wait_until 30 window_is 800x600 || fail "the second run opened $(window_size), expected 800x600"
wait_for_drawing

skip_levels() {
    for _ in $(seq "$1"); do
        send_keys F12
        sleep 0.3
    done
}
shoot() {
    send_keys space
    sleep 2.3
    import -window "$WINDOW" "$out_dir/$1" || fail "cannot capture $1"
    note "$out_dir/$1"
}

shoot level01.png
skip_levels 9
shoot level10.png
skip_levels 20
shoot level30.png
send_keys Escape
wait_for_exit
expect_status 0
