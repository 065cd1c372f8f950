#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The window system going away under the running game (the X server ends, the session logs out) ends the
# game with exit code 1, with the game in play entered into the high scores, the settings saved and the
# reason logged, instead of leaving it spinning.
source "$(dirname "$0")/lib.sh" "$@"

start_display
start_game
wait_for_window
wait_for_drawing
send_keys space
sleep 2
stop_display
wait_for_exit 15
expect_status 1
expect_log_in_order "Lost the connection to the display!" "Saving settings to file: settings.xml"
[ "$(setting graphics/window_size/width)" = 512 ] || fail "the settings were not saved"
grep -q '<entry score="[1-9][0-9]*" level="1"' "$USER_DIR/highscores.xml" 2>/dev/null ||
    fail "the game in play is not in highscores.xml"
note "passed"
