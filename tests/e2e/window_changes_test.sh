#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The mouse cursor follows the game across window resizes: hidden in play, shown while paused. A window
# dragged to 1000 x 600 snaps to the largest 4:3 size inside, 800 x 600. The player's changes (a resize,
# the F2 sound switch) are saved at once, so a killed game keeps them, and the next run opens the same.
source "$(dirname "$0")/lib.sh" "$@"

require_tools import convert

cursor_is() { xdotool mousemove --window "$WINDOW" 100 100 && [ "$(cursor_state)" = "$1" ]; }
sound_saved_off() { [ "$(setting audio/sound/active)" = 0 ]; }

start_display
start_game
wait_for_window
wait_for_drawing
wait_until 5 cursor_is hidden || fail "the cursor shows in play"

resize_window 640 480
wait_until 30 window_is 640x480 || fail "window is $(window_size) after the resize"
wait_until 5 cursor_is hidden || fail "the cursor shows in play after a resize"
note "in play the cursor stays hidden after a resize"

send_keys Pause
wait_until 5 cursor_is shown || fail "no cursor while paused"
resize_window 1000 600
wait_until 30 window_is 800x600 || fail "window is $(window_size) after a resize to 1000x600, not 800x600"
wait_until 5 cursor_is shown || fail "the cursor went with a resize while paused"
sleep 0.5
colours=$(colour_count "$(capture_window paused_resized.png)")
[ "$colours" -gt 16 ] || fail "the paused game was not drawn again at its new size ($colours colours)"
send_keys Pause
wait_until 5 cursor_is hidden || fail "the cursor stayed after the pause"
note "paused the cursor shows, across a resize too"

send_keys F2
wait_until 5 sound_saved_off || fail "the sound switch was not saved"
kill -9 "$GAME_PID"
wait_for_exit
expect_status 137
[ "$(setting audio/sound/active)" = 0 ] || fail "the killed game lost the sound switch"
[ "$(setting graphics/window_size/width)" = 800 ] || fail "the killed game lost the window width"
[ "$(setting graphics/window_size/height)" = 600 ] || fail "the killed game lost the window height"
[ "$(setting graphics/fullscreen/value)" = 0 ] || fail "the resize left windowed mode"
note "a killed game keeps the sound switch and the window size"

start_game
wait_for_window
wait_until 30 window_is 800x600 || fail "the next run opened $(window_size)"
send_keys Escape
wait_for_exit
expect_status 0
[ "$(setting audio/sound/active)" = 0 ] || fail "the next run lost the sound switch"
note "passed"
