#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a short game: Space launches the ball and it moves, Pause shows "PAUSED" and freezes the moving
# parts while the frame keeps being drawn, F1 starts anew, F12 changes the level label, Escape ends the
# program with exit code 0. Every step leaves a capture of the window (E2E_KEEP=1 keeps them).
source "$(dirname "$0")/lib.sh" "$@"

require_tools import compare convert

start_display
start_game
wait_for_window
wait_until 10 window_is 512x384 || fail "window is $(window_size), expected 512x384"
sleep 1
# The level label at the left of the top band, and the middle of the field where the notices show.
LEVEL_LABEL=$(field_region -1 0.75 -0.53 0.65)
CENTRE=$(field_region -0.47 0.12 0.47 -0.12)

serving=$(capture_window 1_serving.png)
send_keys space
sleep 0.4
flight_1=$(capture_window 2_flight_1.png)
sleep 0.4
flight_2=$(capture_window 3_flight_2.png)
moved=$(changed_pixels "$flight_1" "$flight_2")
[ "$moved" -gt 20 ] || fail "the ball did not move after Space ($moved pixels changed)"
note "the ball moves ($moved pixels changed)"

send_keys Pause
sleep 0.5
paused_1=$(capture_window 4_paused_1.png)
sleep 0.6
paused_2=$(capture_window 5_paused_2.png)
frozen=$(changed_pixels "$paused_1" "$paused_2")
[ "$frozen" -eq 0 ] || fail "$frozen pixels changed while paused"
shown=$(changed_in "$CENTRE" "$flight_2" "$paused_1")
[ "$shown" -gt 100 ] || fail "no notice appeared in the middle when paused ($shown pixels)"
note "paused: nothing moves, the notice shows ($shown pixels)"

send_keys Pause
sleep 0.5
resumed=$(capture_window 6_resumed.png)
gone=$(changed_in "$CENTRE" "$paused_2" "$resumed")
[ "$gone" -gt 100 ] || fail "the notice did not go after the second Pause"

send_keys F1
sleep 0.5
new_game=$(capture_window 7_new_game.png)

send_keys F12
sleep 0.5
level_2=$(capture_window 8_level_2.png)
relabelled=$(changed_in "$LEVEL_LABEL" "$new_game" "$level_2")
[ "$relabelled" -gt 10 ] || fail "F12 did not change the level label ($relabelled pixels)"
note "F12 changed the level label ($relabelled pixels)"

send_keys Escape
wait_for_exit
expect_status 0
expect_log_lacks "Cannot"
expect_log_lacks "malformed"
