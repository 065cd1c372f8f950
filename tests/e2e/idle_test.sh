#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A game that is paused, or whose window is hidden, rests: it uses at most a tenth of a core over five
# seconds (from /proc), and play goes on as soon as it is resumed or shown again.
source "$(dirname "$0")/lib.sh" "$@"

require_tools import compare

# True once the window shows another picture than the capture in BEFORE (for wait_until).
picture_moved() { [ "$(changed_pixels "$BEFORE" "$(capture_window after.png)")" -gt 20 ]; }

start_display
start_game
wait_for_window
wait_for_drawing
send_keys space
sleep 0.3

send_keys Pause
sleep 0.5
cpu=$(cpu_percent 5)
[ "$cpu" -le 10 ] || fail "paused, the game used ${cpu}% of a core"
note "paused: ${cpu}% of a core"
BEFORE=$(capture_window paused.png)
send_keys Pause
wait_until 5 picture_moved || fail "play did not go on after the pause"
note "play goes on after the pause"

xdotool windowunmap "$WINDOW" || fail "cannot hide the window"
sleep 0.5
cpu=$(cpu_percent 5)
[ "$cpu" -le 10 ] || fail "hidden, the game used ${cpu}% of a core"
note "hidden: ${cpu}% of a core"
xdotool windowmap "$WINDOW" || fail "cannot show the window again"
sleep 0.5
BEFORE=$(capture_window shown_again.png)
wait_until 5 picture_moved || fail "play did not go on after the window was shown again"
note "play goes on when the window is shown again"

send_keys Escape
wait_for_exit
expect_status 0
note "passed"
