#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# A game played to "GAME OVER" is watched again: Down chooses its entry on the board, Enter plays its
# replay in the field (labelled, moving with no input), Escape gives the board back; the board left alone
# for 20 s of the game's clock plays the demo, which a key ends. Nothing of either is kept. tezmola
# --replay plays the same file, and refuses a damaged one with exit status 1. A table names a replay
# (game-1.tzr) whose folder is gone: the new game's replay takes another name, and a file of another game
# under the old one is refused on the board.
source "$(dirname "$0")/high_scores_lib.sh" "$@"

write_steel_level
echo '<highscores><entry score="19630" level="7" date="2025-11-02" name="GOLDEN" replay="game-1.tzr" />' \
    '</highscores>' >"$HIGH_SCORES"
cp "$HIGH_SCORES" "$WORK/seeded.xml"
# The label of a game watched, in the bottom band below the paddle, and the mark of the entry chosen.
label_region() { field_region -0.5 -0.695 0.5 -0.745; }
label_shown() { [ "$(pixels_of "$(label_region)" "$(capture_window label.png)" cyan)" -gt 40 ]; }
kept() { md5sum "$HIGH_SCORES" "$USER_DIR"/replays/*; }
# The field moves with no input: two pictures a fifth of a second apart differ.
field_moves() {
    local before
    before=$(capture_window still.png)
    sleep 0.2
    [ "$(changed_pixels "$before" "$(capture_window moved.png)")" -gt 20 ]
}

start_display
start_game
wait_for_window
wait_for_drawing
lose_on_steel table_changed
wait_until 5 heading_shown || fail "no board at GAME OVER"
grep -q 'replay="game-2.tzr"' "$HIGH_SCORES" || fail "the new entry does not name game-2.tzr: $(cat "$HIGH_SCORES")"
# The player puts another game back under GOLDEN's name.
cp "$USER_DIR/replays/game-2.tzr" "$USER_DIR/replays/game-1.tzr"
kept >"$WORK/kept.before"
send_keys Down
sleep 0.3
chosen=$(capture_window 1_board_chosen.png)
[ "$(pixels_of "$(row_band 2 -0.74 -0.63)" "$chosen" yellow)" -gt 10 ] || fail "no mark beside the entry chosen"
# The game waited for its first key some seconds of its clock: the replay is watched at ten times the pace.
clock_speed 10
send_keys Return
wait_until 5 label_shown || fail "Enter on the entry shows no REPLAY label"
wait_until 8 field_moves || fail "the replay does not move the field"
replay=$(capture_window 2_replay.png)
[ "$(pixels_of "$(row_region 1)" "$replay" white)" -lt 5 ] || fail "the board stays over the replay"
# Back at the real pace first: a slow look at the board must not let the demo come.
clock_speed 1
send_keys Escape
wait_until 5 heading_shown || fail "Escape did not give the board back"
label_shown && fail "the REPLAY label stays on the board"
game_running || fail "Escape from the replay quit the game"
note "the board plays the entry's replay, and Escape gives the board back"
send_keys Up Return
sleep 0.5
refused=$(capture_window 3_golden_refused.png)
label_shown && fail "GOLDEN's row plays another game's replay"
[ "$(pixels_of "$(field_region -0.9 0.165 0.9 0.115)" "$refused" '#BFBFBF')" -gt 40 ] ||
    fail "no reason on the board for GOLDEN's replay"
log_text | grep -q -F "Cannot play the replay game-1.tzr (it is the replay of another game)" ||
    fail "the refusal of GOLDEN's replay is not logged"
note "a table's name is never given again, and another game under it is refused"

# 20 s of the game's clock alone on the board: two of the test's at ten times the pace.
clock_speed 10
label_shown && fail "the demo came before 20 s"
wait_until 10 label_shown || fail "no demo after 20 s alone on the board"
wait_until 8 field_moves || fail "the demo does not move"
capture_window 4_demo.png >/dev/null
clock_speed 1
send_keys a
wait_until 5 heading_shown || fail "a key did not end the demo"
sleep 0.3
label_shown && fail "the DEMO label stays on the board"
capture_window 6_board_after_demo.png >/dev/null
send_keys Escape
wait_for_exit
expect_status 0
kept | diff - "$WORK/kept.before" >/dev/null || fail "watching changed the table or the replays: $(kept)"
note "the demo runs after 20 s alone and a key ends it; nothing was kept"

# The same replay from the command line, on the set it names (the player's level.xml), until Escape.
WINDOW_NAME='^Tezmola'
GAME_ARGS=(--replay "$USER_DIR/replays/game-2.tzr")
start_game
wait_for_window
wait_for_drawing
wait_until 5 label_shown || fail "--replay shows no REPLAY label"
send_keys Escape
wait_for_exit
expect_status 0
printf 'TZREPLAY' >"$WORK/bad.tzr"
GAME_ARGS=(--replay "$WORK/bad.tzr")
start_game
wait_for_exit
expect_status 1
grep -q "^tezmola: cannot play the replay $WORK/bad.tzr: damaged" "$WORK/game.err" ||
    fail "a damaged replay is not told on standard error: $(cat "$WORK/game.err")"
kept | diff - "$WORK/kept.before" >/dev/null || fail "--replay changed the table or the replays"
note "--replay plays the replay and refuses a damaged one with exit status 1"
