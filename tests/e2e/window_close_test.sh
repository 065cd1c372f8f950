#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A close request from the window manager ends the game normally.
source "$(dirname "$0")/lib.sh" "$@"

start_display
start_game
wait_for_window
wait_for_drawing
request_close
wait_for_exit
expect_status 0
expect_file "$SETTINGS_FILE"
note "passed"
