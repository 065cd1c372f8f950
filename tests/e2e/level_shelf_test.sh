#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The shelf of level sets as a player meets it: two sets installed with tezmola-import-levels, the game
# starts on the second (its name in the caption, its bricks drawn, the banner naming it below them); F3
# opens the shelf, which shows its figures without a key and where it stands, and the letters T and R and
# Enter start the first set, whose bricks are then drawn. A game on it enters its
# own table and leaves highscores.xml as it was; the choice is remembered; a game started with --level 5
# is practice and enters nothing.
IMPORTER="$(dirname "${1:-.}")/tezmola-import-levels"
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh" "$@"
[ -x "$IMPORTER" ] || fail "$IMPORTER is not built"
require_tools convert import compare

# A one-level set whose bricks fill the set's row ROW (from 1) with the letter: set_file FILE ROW LETTER.
set_file() {
    local empty=.............. row
    {
        printf 'Level:\nJ\xfcrgen\nPremi\xe8re ligne\nBricks:\n'
        for row in $(seq 18); do
            if [ "$row" = "$2" ]; then printf '%s\n' "$3$3$3$3$3$3$3$3$3$3$3$3$3$3"; else echo "$empty"; fi
        done
        printf 'Bonus:\n'
        for row in $(seq 18); do echo "$empty"; done
    } >"$1"
}
set_file "$WORK/Red Row" 1 d
set_file "$WORK/Blue" 3 g
"$IMPORTER" --install --no-proof "$WORK/Red Row" "$WORK/Blue" 2>"$WORK/import.err" ||
    fail "the install failed: $(cat "$WORK/import.err")"
mkdir -p "$USER_DIR"
printf '<?xml version="1.0" encoding="utf-8" ?>\n<highscores>\n    <entry score="5" level="1" date="2026-01-01" name="OLD" />\n</highscores>\n' \
    >"$USER_DIR/highscores.xml"
cp "$USER_DIR/highscores.xml" "$WORK/highscores.seeded"
RED_TABLE="$USER_DIR/highscores-Red Row.xml"

# The shelf as a launcher reads it, before the game ever ran: nothing is written.
"$TEZMOLA" --list-levels >"$WORK/list" 2>"$WORK/list.err" || fail "--list-levels failed: $(cat "$WORK/list.err")"
printf 'Blue\t1\t0\t%s/levels/Blue.xml\nRed Row\t1\t0\t%s/levels/Red Row.xml\n' "$USER_DIR" "$USER_DIR" |
    diff - <(tail -n +2 "$WORK/list") || fail "--list-levels printed: $(cat "$WORK/list")"
grep -q -P '^Tezmola\t32\t32\t/.*[^/]/tezmola.pak$' "$WORK/list" || fail "Tezmola's own levels: $(head -1 "$WORK/list")"
expect_no_file "$LOG_FILE"
"$TEZMOLA" --level 0 2>/dev/null
[ $? -eq 2 ] || fail "--level 0 is no usage error"

cell_x() { awk -v c="$1" 'BEGIN { print -1.0 + c * 0.13333334 }'; }
cell_y() { awk -v r="$1" 'BEGIN { print 0.65205 - r * 0.0625 }'; }

# The last set installed is played, and named in the caption.
start_display
WINDOW_NAME='^Tezmola: Blue$'
start_game
wait_for_window
wait_for_drawing
expect_colour "$DRAWN_SHOT" "blue brick" "$(cell_x 4)" "$(cell_y 3)" "0 0 219"
note "the last set installed plays"

# The shelf's line N (from 0) in the columns of its numbers, or across: shelf_line N [LEFT RIGHT].
shelf_line() {
    local y
    y=$(awk -v n="$1" 'BEGIN { print 0.47 - 0.05 * n }')
    field_region "${2:-0.2}" "$(awk -v y="$y" 'BEGIN { print y + 0.02 }')" "${3:-0.95}" "$(awk -v y="$y" 'BEGIN { print y - 0.02 }')"
}
# F3 opens the shelf over the field: Tezmola, Blue, Red Row, which a change of its file makes read again
# while the shelf is open; "1-3 OF 3" stands in grey right of the title. Left changes nothing but the frame:
# Red Row's figures were drawn before it. T goes round to Tezmola's own, R to Red Row, and Enter plays it.
touch -d 2020-01-01 "$USER_DIR/levels/Red Row.xml"
send_keys F3
sleep 0.5
shelf=$(capture_window shelf.png)
[ "$(changed_in "$(field_region -0.9 0.5 0.9 0.3)" "$DRAWN_SHOT" "$shelf")" -gt 1000 ] || fail "F3 showed no shelf"
position=$(pixels_of "$(field_region 0.45 0.62 0.95 0.58)" "$shelf" '#999999')
[ "$position" -gt 40 ] || fail "no position beside the title ($position pixels)"
send_keys Left
sleep 0.5
[ "$(changed_in "$(shelf_line 2)" "$shelf" "$(capture_window redrawn.png)")" -lt 5 ] ||
    fail "Red Row's figures waited for a key"
send_keys t
sleep 0.5
jumped=$(capture_window jumped.png)
[ "$(pixels_of "$(shelf_line 0 -0.9 0.95)" "$jumped" yellow)" -gt 40 ] || fail "T did not choose Tezmola's own"
[ "$(pixels_of "$(shelf_line 1 -0.9 0.95)" "$jumped" yellow)" -lt 5 ] || fail "Blue stayed chosen after T"
note "the shelf shows its figures unasked and where it stands ($position pixels), T goes round to Tezmola"
send_keys r Return
WINDOW_NAME='^Tezmola: Red Row$'
wait_until 5 bash -c "xdotool search --all --onlyvisible --name '$WINDOW_NAME' >/dev/null" ||
    fail "the caption does not name the chosen set"
# The caption changes before the next frame is drawn: the first picture that shows the chosen set's bricks.
red_row_shown() {
    chosen=$(capture_window chosen.png)
    # shellcheck disable=SC2046
    pixel_colour "$chosen" $(field_pixel "$(cell_x 4)" "$(cell_y 1)") | awk '{ exit !($1 > 179 && $2 < 40 && $3 < 40) }'
}
wait_until 5 red_row_shown
expect_colour "$chosen" "red brick" "$(cell_x 4)" "$(cell_y 1)" "219 0 0"
# The banner names the set below its bricks, and two seconds later it has gone, the bricks as they were.
sleep 3
later=$(capture_window later.png)
[ "$(changed_in "$(field_region -0.9 0.3 0.9 -0.4)" "$chosen" "$later")" -gt 300 ] ||
    fail "no banner came and went below the bricks"
[ "$(changed_in "$(field_region -0.9 0.62 0.9 0.54)" "$chosen" "$later")" -lt 50 ] || fail "the banner covered the bricks"
# shellcheck disable=SC2046
pixel_colour "$chosen" $(field_pixel "$(cell_x 4)" "$(cell_y 3)") | awk '{ exit !($3 < 150) }' ||
    fail "the blue bricks are still drawn"
send_keys Escape
wait_for_exit
expect_status 0
grep -q '<set value="Red Row"' "$SETTINGS_FILE" || fail "the choice is not remembered: $(cat "$SETTINGS_FILE")"
note "F3 chose the first set"

# lose_every_ball CONDITION...: serves and takes the paddle away until the condition holds.
lose_every_ball() {
    local round
    for round in $(seq 1 40); do
        xdotool keydown --window "$WINDOW" Left && sleep 0.2 && xdotool keyup --window "$WINDOW" Left
        send_keys space
        xdotool keydown --window "$WINDOW" Right && sleep 0.2 && xdotool keyup --window "$WINDOW" Right
        sleep 0.6
        "$@" && clock_speed 1 && send_keys Shift_L && return 0
    done
    fail "no game over after $round rounds"
}
game_over_logged() { [ -f "$1" ]; }
fast_clock 10

# The remembered set's game enters its own table; highscores.xml is not touched.
start_game
wait_for_window
wait_for_drawing
lose_every_ball game_over_logged "$RED_TABLE"
send_keys Escape
wait_for_exit
expect_status 0
cmp -s "$USER_DIR/highscores.xml" "$WORK/highscores.seeded" || fail "highscores.xml changed"
grep -q '<entry ' "$RED_TABLE" || fail "the set's table holds no game"
cp "$RED_TABLE" "$WORK/red.entered"
note "a game on the set entered its own table"

# Practice: started at level 5, the game enters no table, not even at GAME OVER or when left.
GAME_ARGS=(--level 5)
start_game
wait_for_window
wait_for_drawing
practice_over() { [ "$(changed_in "$(field_region -0.5 0.17 0.5 0.11)" "$WORK/start5.png" "$(capture_window now.png)")" -gt 400 ]; }
capture_window start5.png >/dev/null
lose_every_ball practice_over
send_keys Escape
wait_for_exit
expect_status 0
cmp -s "$RED_TABLE" "$WORK/red.entered" && cmp -s "$USER_DIR/highscores.xml" "$WORK/highscores.seeded" ||
    fail "a practice game entered a table"
expect_no_errors
note "passed"
