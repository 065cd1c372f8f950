#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Dragging the window to 1000 x 600 snaps it to the largest 4:3 size inside, 800 x 600, which is kept in
# the settings for the next run.
source "$(dirname "$0")/lib.sh" "$@"

start_display
start_game
wait_for_window
wait_for_drawing
resize_window 1000 600
wait_until 30 window_is 800x600 || fail "window is $(window_size) after the resize"
note "window snapped to 800x600"
sleep 0.5
capture resized.png >/dev/null
send_keys Escape
wait_for_exit
expect_status 0
[ "$(setting graphics/window_size/width)" = 800 ] || fail "window_size width is $(setting graphics/window_size/width)"
[ "$(setting graphics/window_size/height)" = 600 ] || fail "window_size height is $(setting graphics/window_size/height)"
[ "$(setting graphics/fullscreen/value)" = 0 ] || fail "the resize left windowed mode"

start_game
wait_for_window
wait_until 30 window_is 800x600 || fail "the next run opened $(window_size)"
note "the next run opens 800x600"
send_keys Escape
wait_for_exit
expect_status 0
note "passed"
