#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A close request from the window manager ends the game normally, and so does a hang-up however it falls
# among the settings saves that F2 makes.
source "$(dirname "$0")/lib.sh" "$@"

start_display
start_game
wait_for_window
wait_for_drawing
request_close
wait_for_exit
expect_status 0
expect_file "$SETTINGS_FILE"

# SIGHUP sent while F2 switches the sound and saves the settings, again and again: never lost. The signal
# falls at a different point of the saves each time.
rounds=${E2E_HANG_UP_ROUNDS:-12}
for round in $(seq 1 "$rounds"); do
    start_game
    wait_for_window
    xdotool key --window "$WINDOW" --repeat 400 --delay 2 F2 2>/dev/null &
    keys=$!
    sleep "0.$((RANDOM % 9 + 1))"
    kill -HUP "$GAME_PID"
    wait_for_exit 10
    kill "$keys" 2>/dev/null
    wait "$keys" 2>/dev/null
    expect_status 0
done
note "$rounds hang-ups during saves, each one heard"
note "passed"
