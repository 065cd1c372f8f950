#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# First run: the per-user folder and its log appear, the window opens, Escape ends the game with exit code
# 0 and the settings file holds every default in order.
source "$(dirname "$0")/lib.sh" "$@"

start_display
expect_no_file "$HOME/My Games"
start_game
wait_for_window
expect_file "$LOG_FILE"
wait_until 30 window_is 512x384 || fail "window is $(window_size), expected 512x384"
note "window 512x384"
# The play field is drawn, not just the cleared background.
wait_for_drawing

# Space launches the ball: the main loop carries the key to the game and keeps stepping and drawing.
send_keys space
before=$(capture_window moving_1.png)
picture_changes() {
    changed=$(changed_pixels "$before" "$(capture_window moving_2.png)")
    [ "$changed" -gt 0 ] 2>/dev/null
}
wait_until 15 picture_changes || fail "the picture did not change after launching the ball"
note "the ball moves ($changed pixels changed)"

send_keys Escape
wait_for_exit
expect_status 0

expect_log_in_order "Initialising SDL..." "Setting window name..." "Initialising Joysticks..." \
    "--- 0 joystick/s detected" "--- Video mode set to 512 by 384, Windowed Mode" \
    "Audio system initialised (frequency: 22050, format: 32784, num. channels: 2, chunk size: 1024"
expect_log_lacks "Cannot initialise"
expect_no_errors

expected="graphics/goalfps/value=0
graphics/window_size/width=512
graphics/window_size/height=384
graphics/video_mode/width=800
graphics/video_mode/height=600
graphics/bbp/value=0
graphics/fullscreen/value=0
audio/sound/active=1
audio/sound/volume=1.000000
audio/music/active=1
audio/music/volume=1.000000"
actual=$(settings_entries)
[ "$actual" = "$expected" ] || fail "settings.xml holds:
$actual"
head -1 "$SETTINGS_FILE" | grep -q '<?xml version="1.0"' || fail "settings.xml has no XML declaration"
note "settings.xml holds the eleven defaults in order"

# A second run reads them back instead of starting from defaults.
start_game
wait_for_window
send_keys Escape
wait_for_exit
expect_status 0
expect_log_lacks "does not exist, using default settings"
[ "$(settings_entries)" = "$expected" ] || fail "settings changed on the second run"

# A stored size that can make no usable window gives way to the default, with one warning, and the file
# is put right at exit.
sed -i 's/<window_size width="512" height="384"/<window_size width="0" height="0"/' "$SETTINGS_FILE"
[ "$(setting graphics/window_size/width)" = 0 ] || fail "cannot store a window size of 0 x 0"
start_game
wait_for_window
wait_until 30 window_is 512x384 || fail "a stored 0 x 0 opened $(window_size)"
send_keys Escape
wait_for_exit
expect_status 0
expect_log_in_order "---- Unusable window size 0 by 0 in the settings, using 512 by 384" \
    "--- Video mode set to 512 by 384, Windowed Mode"
[ "$(log_text | grep -c Unusable)" = 1 ] || fail "more than one warning about the stored size"
[ "$(settings_entries)" = "$expected" ] || fail "the stored 0 x 0 was not put right"
note "a stored 0 x 0 opens 512x384 and is put right"
note "passed"
