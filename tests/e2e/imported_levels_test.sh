#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A player's LBreakout2 set, put on the shelf with tezmola-import-levels --install, is what the game starts
# on, its name in the caption: its rows of red, blue, steel and yellow bricks are drawn where the set puts them,
# inside the frame, and the game's own first level (six rows from white to red) is not.
IMPORTER="$(dirname "${1:-.}")/tezmola-import-levels"
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh" "$@"
[ -x "$IMPORTER" ] || fail "$IMPORTER is not built"
require_tools convert import

# Rows 1, 3, 5 and 7 of the set: red, blue, shielded and yellow bricks, each row with a gap at column 8.
empty_row=..............
{
    printf 'Level:\nme\nfour rows\nBricks:\n'
    for row in $(seq 18); do
        case $row in
            1) echo ddddddd.dddddd ;;
            3) echo ggggggg.gggggg ;;
            5) echo EEEEEEE.EEEEEE ;;
            7) echo hhhhhhh.hhhhhh ;;
            *) echo "$empty_row" ;;
        esac
    done
    printf 'Bonus:\n'
    for row in $(seq 18); do echo "$empty_row"; done
} >"$WORK/rows"
"$IMPORTER" --install "$WORK/rows" 2>"$WORK/import.err" || fail "the import failed: $(cat "$WORK/import.err")"
expect_file "$USER_DIR/levels/rows.xml"
expect_no_file "$USER_DIR/level.xml"
note "imported: $(tail -1 "$WORK/import.err")"

start_display
WINDOW_NAME='^Tezmola: rows$'
start_game
wait_for_window
wait_for_drawing
shot=$DRAWN_SHOT

# The face of the brick image is 219 of 255 in each channel, tinted by the brick's colour (steel: 1, 0.8, 0.4).
# The centre of the cell that a set's row and column (from 1) take: the frame's inside starts at (1, 1).
cell_x() { awk -v c="$1" 'BEGIN { print -1.0 + c * 0.13333334 }'; }
cell_y() { awk -v r="$1" 'BEGIN { print 0.65205 - r * 0.0625 }'; }
for column in 2 7 13; do
    expect_colour "$shot" "red brick, column $column" "$(cell_x "$column")" "$(cell_y 1)" "219 0 0"
    expect_colour "$shot" "blue brick, column $column" "$(cell_x "$column")" "$(cell_y 3)" "0 0 219"
    expect_colour "$shot" "steel brick, column $column" "$(cell_x "$column")" "$(cell_y 5)" "200 160 80"
    expect_colour "$shot" "yellow brick, column $column" "$(cell_x "$column")" "$(cell_y 7)" "219 219 0"
done
for row in 1 3 5 7; do
    gap=$(pixel_colour "$shot" $(field_pixel "$(cell_x 8)" "$(cell_y "$row")"))
    brick=$(pixel_colour "$shot" $(field_pixel "$(cell_x 7)" "$(cell_y "$row")"))
    [ "$gap" != "$brick" ] || fail "row $row: the gap at column 8 shows the brick's colour ($gap)"
done
expect_log_lacks "Cannot load in level"
expect_log_lacks "is malformed"
note "the imported set's bricks are drawn where the set puts them"

send_keys Escape
wait_for_exit
expect_status 0
note "passed"
