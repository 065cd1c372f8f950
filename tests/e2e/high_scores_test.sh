#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A game played to "GAME OVER" (launch, take the paddle away, lose every ball) enters the player's table of
# ten best games: the table shows below the notice with the new entry in yellow, and F1 hides it. A game
# left by Escape with points enters too, and highscores.xml then holds both in their places. A game in
# which a cheat key was used shows the table but leaves the file as it was. A hang-up enters the game in
# play; two copies sharing the folder keep each other's entries; a table that cannot be written says so.
source "$(dirname "$0")/lib.sh" "$@"

require_tools import convert
HIGH_SCORES="$USER_DIR/highscores.xml"
# The games run ten times as fast as the real clock: a second of the test below is ten of play.
fast_clock 10

# A row of the table (rank 1 to 10, the heading 0 above them): 0.04 play-field units high around its middle,
# which lies 0.05 units below the row before, the heading's at y -0.09. row_band RANK LEFT RIGHT.
row_band() {
    local top bottom
    read -r top bottom <<<"$(awk -v r="$1" 'BEGIN { y = -0.09 - 0.05 * r; print y + 0.02, y - 0.02 }')"
    field_region "$2" "$top" "$3" "$bottom"
}
row_region() { row_band "$1" -0.88 0.76; }
# Right of a row, where "NOT SAVED" stands beside a new entry that could not be written.
beside_row() { row_band "$1" 0.645 0.93; }

hold_key() {
    xdotool keydown --window "$WINDOW" "$1" && sleep "$2" && xdotool keyup --window "$WINDOW" "$1"
}

# Serves from the left edge, takes the paddle to the right edge, and repeats until the condition holds.
# A round is some ten seconds of play, time for the ball to come down past the paddle.
lose_every_ball() {
    local round
    for round in $(seq 1 40); do
        hold_key Left 0.2 || fail "cannot hold a key"
        send_keys space
        sleep 0.05
        hold_key Right 0.2 || fail "cannot hold a key"
        sleep 0.6
        "$@" && return 0
    done
    wait_until 5 "$@" && return 0
    fail "no game over after $round rounds"
}

# On the level of steel below, a ball served goes straight up an empty column and straight back: serving at
# the right edge and keeping the paddle at the left loses it for certain. Repeats until the condition holds.
lose_on_steel() {
    local round
    for round in $(seq 1 20); do
        hold_key Right 0.4 || fail "cannot hold a key"
        send_keys space
        hold_key Left 1 || fail "cannot hold a key"
        "$@" && return 0
    done
    fail "no game over after $round rounds"
}

table_changed() { ! cmp -s "$HIGH_SCORES" "$WORK/seeded.xml"; }
heading_shown() { [ "$(pixels_of "$HEADING" "$(capture_window heading.png)" '#BFBFBF')" -gt 40 ]; }

# Three strong games and seven without points, the oldest at the bottom.
mkdir -p "$USER_DIR"
{
    echo '<?xml version="1.0" encoding="utf-8" ?>'
    echo '<highscores>'
    echo '    <entry score="90000" level="9" date="2026-01-01" name="ALPHA" />'
    echo '    <entry score="80000" level="8" date="2026-01-02" name="BRAVO" />'
    echo '    <entry score="70000" level="7" date="2026-01-03" name="CHARLIE" />'
    for n in 4 5 6 7 8 9 10; do
        echo "    <entry score=\"0\" level=\"1\" date=\"2026-02-0$((n - 3))\" name=\"ZERO$n\" />"
    done
    echo '</highscores>'
} >"$HIGH_SCORES"
cp "$HIGH_SCORES" "$WORK/seeded.xml"

start_display
start_game
wait_for_window
wait_for_drawing
HEADING=$(row_region 0)
lose_every_ball table_changed
# Capsules still falling when the game ends are gone after two seconds of play.
sleep 0.5
over=$(capture_window 1_game_over.png)
new_row=$(pixels_of "$(row_region 4)" "$over" yellow)
old_row=$(pixels_of "$(row_region 3)" "$over" yellow)
white_row=$(pixels_of "$(row_region 5)" "$over" white)
[ "$new_row" -gt 40 ] || fail "the new entry (rank 4) is not shown in yellow ($new_row pixels)"
[ "$old_row" -lt 5 ] || fail "an older entry is shown in yellow ($old_row pixels)"
[ "$white_row" -gt 40 ] || fail "the entry below the new one is not shown in white ($white_row pixels)"
[ "$(pixels_of "$(beside_row 4)" "$over" yellow)" -lt 5 ] || fail "a saved entry is marked as not saved"
note "GAME OVER shows the table, the new entry fourth in yellow ($new_row pixels)"

send_keys F1
sleep 0.2
[ "$(pixels_of "$(row_region 4)" "$(capture_window 2_new_game.png)" yellow)" -lt 5 ] ||
    fail "the table stayed after F1"
# A game left by Escape with points enters too: the ball launched from the middle reaches the bricks.
hold_key Left 0.05 || fail "cannot hold a key"
send_keys space
sleep 1
send_keys Escape
wait_for_exit
expect_status 0
expect_log_lacks "high scores"

entries=$(grep -c '<entry ' "$HIGH_SCORES")
[ "$entries" = 10 ] || fail "highscores.xml holds $entries entries"
for rank in 4 5; do
    row=$(grep '<entry ' "$HIGH_SCORES" | sed -n ${rank}p)
    echo "$row" | grep -q "score=\"[1-9][0-9]*\" level=\"1\" date=\"$(date +%F)\"" ||
        fail "entry $rank is not one of today's games: $row"
    note "highscores.xml: $row"
done
grep '<entry ' "$HIGH_SCORES" | sed -n 6p | grep -q 'name="ZERO4"' || fail "the older games did not move down"
grep -q 'name="ZERO9"' "$HIGH_SCORES" && fail "the eleventh game was not cut off"

# A cheated game: F9 takes the spare balls away, so one lost ball ends it.
cp "$HIGH_SCORES" "$WORK/seeded.xml"
start_game
wait_for_window
wait_for_drawing
send_keys F9 F9 F9 F9
lose_every_ball heading_shown
sleep 0.5
cheated=$(capture_window 3_cheated_game_over.png)
for rank in 1 2 3 4 5 6 7 8 9 10; do
    [ "$(pixels_of "$(row_region $rank)" "$cheated" yellow)" -lt 5 ] || fail "a cheated game is shown as entry $rank"
done
send_keys Escape
wait_for_exit
expect_status 0
cmp -s "$HIGH_SCORES" "$WORK/seeded.xml" || fail "a cheated game changed highscores.xml"
note "a cheated game shows the table and leaves the file as it was"

# Closing the terminal the game was started from (SIGHUP) is a quit request: the game in play enters.
rm -f "$HIGH_SCORES"
start_game
wait_for_window
wait_for_drawing
send_keys space
sleep 1
kill -HUP "$GAME_PID"
wait_for_exit
expect_status 0
grep -q "<entry score=\"[1-9][0-9]*\" level=\"1\" date=\"$(date +%F)\"" "$HIGH_SCORES" ||
    fail "the game in play at the hang-up is not in highscores.xml"
note "a hang-up enters the game in play"

# Two copies share the folder, each plays to GAME OVER: the second copy's entry is written first, and the
# first copy, which read the table at its start, writes both. On a level whose one colour brick lies behind
# two walls of steel, both games end with 0 points on level 1 on the same day under the same name: equal
# entries, and still two games.
rm -f "$HIGH_SCORES"
{
    echo '<level><tezm>'
    echo '+. -- -- -- -- -- -- -- -- -- -- -- -- -- -- +.'
    echo 'I. R9 SS SS .. .. .. .. .. .. .. .. .. .. .. I.'
    echo 'I. SS SS SS .. .. .. .. .. .. .. .. .. .. .. I.'
    echo 'I. SS SS SS .. .. .. .. .. .. .. .. .. .. .. I.'
    echo '</tezm><background sprite="bg_bricks" red="0.35" green="0.45" blue="0.75"/></level>'
} >"$USER_DIR/level.xml"
table_has() { [ "$(grep -c '<entry ' "$HIGH_SCORES" 2>/dev/null)" = "$1" ]; }
start_game
wait_for_window
wait_for_drawing
first_pid=$GAME_PID
first_window=$WINDOW
start_game
wait_for_window
wait_for_drawing
lose_on_steel table_has 1
second_entry=$(grep '<entry ' "$HIGH_SCORES")
cp "$HIGH_SCORES" "$WORK/seeded.xml"
send_keys Escape
wait_for_exit
expect_status 0
# Back to the first copy, still running (the status file was the second copy's), paused since the second
# window took the focus: the player gives it back.
rm -f "$WORK/game.status"
GAME_PID=$first_pid
WINDOW=$first_window
xdotool windowfocus --sync "$WINDOW" || fail "cannot focus the first copy"
lose_on_steel table_changed
sleep 0.5
merged=$(capture_window 4_merged_table.png)
for rank in 1 2; do
    drawn=$(($(pixels_of "$(row_region $rank)" "$merged" white) + $(pixels_of "$(row_region $rank)" "$merged" yellow)))
    [ "$drawn" -gt 40 ] || fail "the first copy's board lacks entry $rank ($drawn pixels)"
done
send_keys Escape
wait_for_exit
expect_status 0
echo "$second_entry" | grep -q 'score="0" level="1"' || fail "the second copy scored: $second_entry"
[ "$(grep -c -x -F -- "$second_entry" "$HIGH_SCORES")" = 2 ] ||
    fail "highscores.xml does not hold both copies' equal entries: $(cat "$HIGH_SCORES")"
note "two copies in one folder, two equal games: both entries kept and shown"

# Another program holds the folder's lock at GAME OVER: the entry is marked "NOT SAVED", and written at the
# quit once the lock is let go.
cp "$HIGH_SCORES" "$WORK/seeded.xml"
flock -o -x "$USER_DIR" -c "sleep 60" &
holder=$!
start_game
wait_for_window
wait_for_drawing
lose_on_steel heading_shown
sleep 0.5
[ "$(pixels_of "$(beside_row 3)" "$(capture_window 5_lock_held.png)" yellow)" -gt 40 ] ||
    fail "the entry written while the lock is held is not marked NOT SAVED"
kill "$holder"
wait "$holder" 2>/dev/null
send_keys Escape
wait_for_exit
expect_status 0
table_has 3 || fail "the entry waiting for the lock was not written at the quit: $(cat "$HIGH_SCORES")"
expect_log_lacks "is lost"
note "an entry not saved at GAME OVER is saved at the quit once the lock is free"

# A table that cannot be written (a folder stands where its new file would go): the new entry is marked
# "NOT SAVED" on the board, and the file stays as it was.
mkdir "$HIGH_SCORES.new"
cp "$HIGH_SCORES" "$WORK/seeded.xml"
start_game
wait_for_window
wait_for_drawing
lose_on_steel heading_shown
sleep 0.5
unsaved=$(capture_window 6_not_saved.png)
marked=0
for rank in 1 2 3 4; do
    beside=$(pixels_of "$(beside_row $rank)" "$unsaved" yellow)
    row=$(pixels_of "$(row_region $rank)" "$unsaved" yellow)
    if [ "$row" -gt 40 ]; then
        [ "$beside" -gt 40 ] || fail "the unsaved entry $rank is not marked ($beside pixels)"
        marked=$rank
    fi
done
[ "$marked" != 0 ] || fail "no new entry shown in yellow"
send_keys Escape
wait_for_exit
expect_status 0
cmp -s "$HIGH_SCORES" "$WORK/seeded.xml" || fail "the table changed though it could not be written"
expect_log_in_order "Cannot save the high scores to highscores.xml!"
[ "$(log_text | grep -c "^The high-score entry of .* (0 points, level 1) could not be saved and is lost!$")" = 1 ] ||
    fail "the log does not tell once that the entry is lost"
note "an entry that cannot be written is marked on the board (rank $marked), and told lost at the quit"
