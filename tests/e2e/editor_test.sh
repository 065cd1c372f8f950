#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A level author's session with tezmola-editor: it opens the shipped levels, blue is chosen on the brick
# bar, a click and a drag paint blue bricks into the empty rows of level 1, the background changes, undo
# and redo take the changes back and make them again, Ctrl+S proves the set and writes the player's
# level.xml. The checker passes the file, the editor wrote nothing of the game's; reopened, the set keeps
# its proofs and Ctrl+S proves nothing; a change left unsaved when the window closes is kept aside; the
# game then starts on the saved file and draws the new bricks.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh" "$@"
GAME="$TEZMOLA"
require_tools convert import compare
EDITOR="$(dirname "$TEZMOLA")/tezmola-editor"
CHECKER="$(dirname "$TEZMOLA")/tezmola-check-levels"
[ -x "$EDITOR" ] || fail "$EDITOR is not built"

cell_x() { awk -v c="$1" 'BEGIN { print -1.0 + c * 0.13333334 }'; }
cell_y() { awk -v r="$1" 'BEGIN { print 0.65205 - r * 0.0625 }'; }
# Moves the pointer to the centre of a cell of the grid (row, column) and runs an xdotool mouse command.
at_cell() {
    local x y
    read -r x y <<<"$(field_pixel "$(cell_x "$2")" "$(cell_y "$1")")"
    xdotool mousemove --window "$WINDOW" "$x" "$y" "${@:3}" || fail "cannot move the pointer"
    sleep 0.2
}
# The same for a slot of the brick bar (0 to 7).
at_bar() {
    local x y
    read -r x y <<<"$(field_pixel "$(awk -v s="$1" 'BEGIN { print -0.9 + s * 0.24 }')" -0.56)"
    xdotool mousemove --window "$WINDOW" "$x" "$y" "${@:2}" || fail "cannot move the pointer"
    sleep 0.2
}
expect_blue_row() {
    local column
    for column in $(seq "$3" "$4"); do
        expect_colour "$1" "blue brick at row $2, column $column" "$(cell_x "$column")" "$(cell_y "$2")" "0 0 219"
    done
}

TEZMOLA="$EDITOR"
LOG_FILE="$USER_DIR/editor-log.html"
WINDOW_NAME='^Tezmola Level Editor$'
start_display
start_game
wait_for_window
wait_for_drawing

# Blue bricks: blue chosen on the bar, a click on row 14, column 3, and a stroke along row 16 from column 2
# to 12. The pointer rests where the stroke ends whenever the field is compared: the highlight under it
# shows the brick a click would paint.
at_bar 1 click 1
at_cell 16 12
opened=$(capture_window opened.png)
at_cell 14 3 click 1
at_cell 16 2 mousedown 1
at_cell 16 7
at_cell 16 12 mouseup 1
send_keys b
sleep 0.5
edited=$(capture_window edited.png)
expect_blue_row "$edited" 14 3 3
expect_blue_row "$edited" 16 2 12
[ "$(changed_in "$(field_region -0.9 -0.3 0.9 -0.5)" "$opened" "$edited")" -gt 1000 ] ||
    fail "the background did not change"
note "painted a click and a stroke, changed the background"

# Three changes back (the background, the stroke, the click), then all three again.
send_keys ctrl+z ctrl+z ctrl+z
sleep 0.5
undone=$(capture_window undone.png)
field=$(field_region -1 0.64 1 -0.5)  # the field between the status lines and the brick bar
[ "$(changed_in "$field" "$opened" "$undone")" -lt 100 ] || fail "undo did not bring back the level as opened"
send_keys ctrl+y ctrl+y ctrl+y
sleep 0.5
redone=$(capture_window redone.png)
[ "$(changed_in "$field" "$edited" "$redone")" -lt 100 ] || fail "redo did not make the changes again"
note "undo and redo"

send_keys ctrl+s
wait_until 60 grep -q "Saved 32 levels" "$LOG_FILE" || fail "the set was not saved"
capture_window saved.png >/dev/null
send_keys Escape
wait_for_exit
expect_status 0
grep -q "Proving in the background, levels: 32" "$LOG_FILE" || fail "the first save did not prove the set"
expect_file "$USER_DIR/level.xml"
expect_no_file "$USER_DIR/level.xml.bak"  # there was none to keep
for file in log.html settings.xml highscores.xml; do expect_no_file "$USER_DIR/$file"; done
"$CHECKER" "$USER_DIR/level.xml" >"$WORK/check.out" || fail "the checker rejects the saved file: $(tail -3 "$WORK/check.out")"
grep -q "^Level 1: 102 bricks to clear, 0 steel: cleared" "$WORK/check.out" || fail "level 1: $(head -1 "$WORK/check.out")"
note "saved; the checker says: $(tail -1 "$WORK/check.out")"

# Reopened, every level keeps its proof: a save proves nothing and writes the very same file, and the
# checker takes every result from the record.
cp "$USER_DIR/level.xml" "$WORK/saved.xml"
"$CHECKER" --changed-only "$USER_DIR/level.xml" >"$WORK/changed.out" || fail "the checker rejects the records"
grep -q "32 proofs taken from the record" "$WORK/changed.out" || fail "the checker: $(tail -1 "$WORK/changed.out")"
start_game
wait_for_window
wait_for_drawing
capture_window reopened.png >/dev/null
grep -q "32 of 32 levels keep the proof saved with them" "$LOG_FILE" || fail "the proofs were not kept"
send_keys ctrl+s
wait_until 30 grep -q "Saved 32 levels" "$LOG_FILE" || fail "the unchanged set was not saved"
expect_log_lacks "Proving"
send_keys Escape
wait_for_exit
expect_status 0
cmp -s "$USER_DIR/level.xml" "$WORK/saved.xml" || fail "saving the unchanged set changed the file"
note "reopened: every proof kept, Ctrl+S proves nothing"

# A change left unsaved when the window closes is kept beside the set, never written into it, and the next
# session names it.
start_game
wait_for_window
wait_for_drawing
send_keys 7
at_cell 18 14 click 1
request_close
wait_for_exit
expect_status 0
cmp -s "$USER_DIR/level.xml" "$WORK/saved.xml" || fail "closing the window changed the saved set"
unsaved="$USER_DIR/editor-unsaved.xml"
expect_file "$unsaved"
"$CHECKER" "$unsaved" >"$WORK/unsaved.out"
grep -q "^Level 1: 102 bricks to clear, 1 steel" "$WORK/unsaved.out" || fail "the unsaved change was not kept: $(head -1 "$WORK/unsaved.out")"
start_game
wait_for_window
wait_for_drawing
grep -q "Unsaved changes of an earlier session are kept in editor-unsaved.xml" "$LOG_FILE" ||
    fail "the next session does not name the unsaved changes"
send_keys Escape
wait_for_exit
expect_status 0
note "a closed window keeps the unsaved change in editor-unsaved.xml"

TEZMOLA="$GAME"
LOG_FILE="$USER_DIR/log.html"
WINDOW_NAME='^Tezmola$'
start_game
wait_for_window
wait_for_drawing
expect_blue_row "$DRAWN_SHOT" 14 3 3
expect_blue_row "$DRAWN_SHOT" 16 2 12
note "the game plays the saved level with the new bricks"
send_keys Escape
wait_for_exit
expect_status 0
note "passed"
