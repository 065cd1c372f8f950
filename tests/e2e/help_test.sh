#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# H over a game in play: the help darkens the field and lists the keys in yellow beside their white lines;
# H again gives back the game as it was. (Its layout and the capsules' places are the unit test's.)
source "$(dirname "$0")/lib.sh" "$@"

require_tools import compare convert

start_display
start_game
wait_for_window
wait_until 10 window_is 512x384 || fail "window is $(window_size), expected 512x384"
wait_for_drawing
sleep 0.5
# The bricks of level 1 at the right (no help line reaches that far but its white text) and the keys'
# column at the left below them (ENTER, F8 - F12, ZORPLEX).
BRICKS=$(field_region 0.55 0.45 0.85 0.2)
KEYS=$(field_region -0.95 0.0 -0.6 -0.2)

serving=$(capture_window 1_serving.png)
send_keys h
sleep 0.5
help_1=$(capture_window 2_help.png)
bricks_before=$(pixels_of "$BRICKS" "$serving" yellow)
bricks_under=$(pixels_of "$BRICKS" "$help_1" yellow)
[ "$bricks_before" -gt 1000 ] && [ "$bricks_under" -lt 20 ] ||
    fail "the help did not darken the bricks ($bricks_before yellow pixels before, $bricks_under under it)"
keys=$(pixels_of "$KEYS" "$help_1" yellow)
[ "$(pixels_of "$KEYS" "$serving" yellow)" -eq 0 ] && [ "$keys" -gt 200 ] ||
    fail "no keys in yellow in the help's left column ($keys pixels)"
note "the help darkens the field ($bricks_under of $bricks_before yellow pixels), the keys show"

send_keys h
sleep 0.5
back=$(capture_window 3_back.png)
changed=$(changed_pixels "$serving" "$back")
[ "$changed" -lt 50 ] || fail "the game came back changed from the help ($changed pixels)"
note "H again gives the game back ($changed pixels changed)"

send_keys Escape
wait_for_exit
expect_status 0
expect_log_lacks "Cannot"
