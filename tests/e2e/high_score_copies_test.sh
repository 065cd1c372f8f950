#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Two copies sharing the player's folder keep each other's entries; an entry that cannot be written at
# "GAME OVER" is marked "NOT SAVED" and written at the quit, or told lost.
source "$(dirname "$0")/high_scores_lib.sh" "$@"

mkdir -p "$USER_DIR"
start_display
# Two copies share the folder, each plays to GAME OVER: the second copy's entry is written first, and the
# first copy, which read the table at its start, writes both. On a level whose one colour brick lies behind
# two walls of steel, both games end with 0 points on level 1 on the same day under the same name: equal
# entries, and still two games.
rm -f "$HIGH_SCORES"
write_steel_level
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
# Each game refers to a replay of its own; the entries are equal but for that.
without_replay() { sed 's/ replay="[^"]*"//' "$HIGH_SCORES"; }
second_entry=$(without_replay | grep '<entry ')
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
[ "$(without_replay | grep -c -x -F -- "$second_entry")" = 2 ] ||
    fail "highscores.xml does not hold both copies' equal entries: $(cat "$HIGH_SCORES")"
[ "$(grep -o ' replay="game-[12].tzr"' "$HIGH_SCORES" | sort -u | wc -l)" = 2 ] ||
    fail "the copies' entries do not refer to a replay each: $(cat "$HIGH_SCORES")"
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
expect_log_in_order "Cannot save the high scores to highscores.xml!" \
    "...highscores.xml could not be written (not a file)"
[ "$(log_text | grep -c "^The high-score entry of .* (0 points, level 1) could not be saved and is lost!$")" = 1 ] ||
    fail "the log does not tell once that the entry is lost"
note "an entry that cannot be written is marked on the board (rank $marked), and told lost at the quit"
