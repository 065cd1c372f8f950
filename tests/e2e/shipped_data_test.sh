#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The shipped archive under the real program: the game runs from a folder that holds only the program and
# tezmola.pak, and it logs and plays on when a player's folder or a second archive holds damaged data.
source "$(dirname "$0")/lib.sh" "$@"

PAK="$(dirname "$TEZMOLA")/tezmola.pak"
[ -f "$PAK" ] || fail "no tezmola.pak beside $TEZMOLA"
start_display

# A player's installation: the program and its archive, nothing else.
mkdir -p "$WORK/game"
cp "$TEZMOLA" "$PAK" "$WORK/game/"
TEZMOLA="$WORK/game/tezmola"

# Starts the game, plays a little (launches, steers, keeps the window alive for a few seconds) and quits
# with Escape; the game must end with exit code 0.
play_a_while() {
    local i
    start_game
    wait_for_window
    for i in 1 2 3 4; do
        send_keys space Left Left Right
        sleep 0.5
        game_running || fail "the game ended ($(cat "$WORK/game.status")) while playing"
    done
    send_keys Escape
    wait_for_exit
    expect_status 0
}

note "program and archive only"
play_a_while
expect_log_in_order "---- Loading SVG: [backgrounds.svg]" "---- Loading SVG: [font.svg]" "---- Loading SVG: [sprites.svg]"
log_text | grep -q "Cannot\|No SVG file\|Error" && fail "errors in the log of a clean run: $(log_text | grep 'Cannot\|Error' | head -3)"

note "damaged files in the player's folder and a truncated second archive"
printf 'RIFF\x10\x00\x00\x00WAVEfmt garbage' >"$USER_DIR/beep2.wav"
printf '\x89PNG\r\n\x1a\n truncated' >"$USER_DIR/sprites.png"
head -c 2000 "$PAK" >"$WORK/game/extra.pak"
play_a_while
log_text | grep -q "sprites.png" || fail "the damaged sprites.png was not reported"

note "a truncated archive as the only data"
rm -f "$WORK/game/extra.pak" "$USER_DIR/beep2.wav" "$USER_DIR/sprites.png"
head -c $(( $(stat -c %s "$PAK") / 2 )) "$PAK" >"$WORK/game/tezmola.pak"
run_game
expect_status 1
log_text | grep -q "Cannot read level file!" || fail "no level-file error for a truncated archive"
note "passed"
