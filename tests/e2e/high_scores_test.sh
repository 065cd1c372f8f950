#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A game played to "GAME OVER" (launch, take the paddle away, lose every ball) enters the player's table of
# ten best games: the table shows below the notice with the new entry in yellow, and F1 hides it. A game
# left by Escape with points enters too, and highscores.xml then holds both in their places. A game in
# which a cheat key was used shows the table but leaves the file as it was, and over an empty table says
# that it enters none. A hang-up enters the game in play. (Two copies and a table that cannot be written:
# high_score_copies_test.sh, run beside this one.)
source "$(dirname "$0")/high_scores_lib.sh" "$@"

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
clock_speed 10
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
# The game over and the game left by Escape, each with its own replay, in the order of their scores (the
# game left by Escape plays ten times faster and may score more).
replays=""
for rank in 4 5; do
    row=$(grep '<entry ' "$HIGH_SCORES" | sed -n ${rank}p)
    score=$(sed 's/.*score="\([0-9]*\)".*/\1/' <<<"$row")
    replay=$(sed -n 's/.* replay="\([^"]*\)".*/\1/p' <<<"$row")
    replays="$replays $replay"
    checked=$("$(dirname "$TEZMOLA")/tezmola-check-levels" --replay "$USER_DIR/replays/$replay") ||
        fail "the checker does not verify entry $rank's replay: $checked"
    grep -q ": score $score, level 1, [0-9]* balls\?: as claimed$" <<<"$checked" ||
        fail "entry $rank's replay does not reach its score $score: $checked"
    note "$checked ($(stat -c %s "$USER_DIR/replays/$replay") bytes)"
done
[ "$(tr ' ' '\n' <<<"$replays" | sort | xargs)" = "game-1.tzr game-2.tzr" ] ||
    fail "today's entries refer to the replays$replays"
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
[ -f "$USER_DIR/replays/game-3.tzr" ] || fail "the cheated game's replay is not among the last games"
note "a cheated game shows the table and leaves the file as it was"

# A cheated game over an empty table: the table's place says why it stays empty, in white on the first row.
rm -f "$HIGH_SCORES"
start_game
wait_for_window
wait_for_drawing
send_keys F9 F9 F9 F9
empty_table_told() { [ "$(pixels_of "$(row_region 1)" "$(capture_window 4_empty_table.png)" white)" -gt 150 ]; }
lose_every_ball empty_table_told
sleep 0.5
empty=$(capture_window 4_empty_table.png)
! heading_shown && [ "$(pixels_of "$(row_region 2)" "$empty" white)" -lt 5 ] || fail "the empty table shows rows"
send_keys Escape
wait_for_exit
expect_status 0
expect_no_file "$HIGH_SCORES"
note "an empty table says that cheated games enter none"

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
