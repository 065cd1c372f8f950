#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A level author's session with tezmola-editor: it opens the shipped levels, blue is chosen on the brick
# bar, a click and a drag paint blue bricks into the empty rows of level 1, the background changes, undo
# and redo take the changes back and make them again, Ctrl+S proves the set and writes the player's
# level.xml. The checker passes the file, the editor wrote nothing of the game's; reopened, the set keeps
# its proofs and Ctrl+S proves nothing; a change left unsaved when the window closes is kept aside under
# the set's own name and Ctrl+O opens it in the next session; sessions on two sets ended by signals keep
# two sets of changes; of two editors on one file the later save asks first and keeps the other's version;
# Ctrl+N starts a set that, titled and saved, the game lists and Ctrl+G plays; the game then starts on the
# saved file and draws the new bricks; without a file the editor opens the set the game's settings remember.
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
# session offers it: Ctrl+O opens it.
cp "$USER_DIR/level.xml" "$WORK/saved.xml"
start_game
wait_for_window
wait_for_drawing
send_keys 7
at_cell 18 14 click 1
request_close
wait_for_exit
expect_status 0
cmp -s "$USER_DIR/level.xml" "$WORK/saved.xml" || fail "closing the window changed the saved set"
# The unsaved changes of the set at a path: editor-unsaved-PATH.xml, "%" and "/" written as %25 and %2F.
unsaved_of() { echo "$USER_DIR/editor-unsaved-$(printf '%s' "$1" | sed 's/%/%25/g; s|/|%2F|g').xml"; }
unsaved=$(unsaved_of "$USER_DIR/level.xml")
expect_file "$unsaved"
"$CHECKER" "$unsaved" >"$WORK/unsaved.out"
grep -q "^Level 1: 102 bricks to clear, 1 steel" "$WORK/unsaved.out" || fail "the unsaved change was not kept: $(head -1 "$WORK/unsaved.out")"
start_game
wait_for_window
wait_for_drawing
grep -q -F "Unsaved changes of an earlier session on $USER_DIR/level.xml are kept: Ctrl+O opens them" "$LOG_FILE" ||
    fail "the next session does not offer the unsaved changes"
send_keys ctrl+o ctrl+s
wait_until 60 grep -q "Saved 32 levels" "$LOG_FILE" || fail "the opened changes were not saved"
send_keys Escape
wait_for_exit
expect_status 0
"$CHECKER" "$USER_DIR/level.xml" | grep -q "^Level 1: 102 bricks to clear, 1 steel" ||
    fail "Ctrl+O and Ctrl+S did not save the kept change"
expect_no_file "$unsaved"
cp "$USER_DIR/level.xml" "$WORK/saved.xml"
note "a closed window keeps the unsaved change; Ctrl+O opens it in the next session"

# Sessions on two sets, ended by SIGTERM and by SIGHUP: each set's changes are kept apart.
cp "$WORK/saved.xml" "$WORK/a.xml"
cp "$WORK/saved.xml" "$WORK/b.xml"
for set in a b; do
    GAME_ARGS=("$WORK/$set.xml")
    start_game
    wait_for_window
    wait_for_drawing
    send_keys b
    # A release and a press of one key in the same moment are taken for the key's own repeat by the
    # original SDL 1.2 library, which drops them: the second press comes a moment later.
    [ $set = a ] && sleep 0.3 && send_keys b
    sleep 0.3
    kill -$([ $set = a ] && echo TERM || echo HUP) "$GAME_PID"
    wait_for_exit
    expect_status 0
done
for set in a b; do
    expect_file "$(unsaved_of "$WORK/$set.xml")"
    cmp -s "$WORK/$set.xml" "$WORK/saved.xml" || fail "$set.xml was changed by a session ended unconfirmed"
done
cmp -s "$(unsaved_of "$WORK/a.xml")" "$(unsaved_of "$WORK/b.xml")" && fail "the two sets' changes are the same"
note "two sets ended by SIGTERM and SIGHUP keep two sets of changes"

# Two editors on one file: A saves, then B's save asks first; B saves anyway, and A's version is kept as a
# backup.
two="$WORK/two.xml"
head -n 30 "$WORK/saved.xml" | sed -n '/<level>/,/<\/level>/p' >"$two"
GAME_ARGS=("$two")
start_game
wait_for_window
wait_for_drawing
a_pid=$GAME_PID
a_window=$WINDOW
start_game
wait_for_window
wait_for_drawing
b_pid=$GAME_PID
b_window=$WINDOW
a_log="$USER_DIR/editor-log.html"
b_log="$USER_DIR/editor-log-2.html"
GAME_PID=$a_pid WINDOW=$a_window send_keys b ctrl+s
wait_until 60 grep -q "Saved 1 levels" "$a_log" || fail "A did not save"
cp "$two" "$WORK/two_a.xml"
WINDOW=$b_window send_keys Insert ctrl+s
wait_until 60 grep -q "changed on disk since it was opened or saved here" "$b_log" || fail "B did not ask before saving"
cmp -s "$two" "$WORK/two_a.xml" || fail "B saved over A's version without asking"
WINDOW=$b_window send_keys ctrl+s
wait_until 60 grep -q "Saved 2 levels" "$b_log" || fail "B did not save anyway"
kept=$(for f in "$two".bak*; do cmp -s "$f" "$WORK/two_a.xml" && echo "$f"; done)
[ -n "$kept" ] || fail "A's saved version is in no backup"
GAME_PID=$a_pid WINDOW=$a_window send_keys Escape
GAME_PID=$b_pid WINDOW=$b_window send_keys Escape
for pid in $a_pid $b_pid; do
    wait_until 10 eval "! kill -0 $pid 2>/dev/null" || fail "an editor did not quit"
done
note "two editors on one file: the later save asks; A's version kept as $(basename "$kept")"
unset GAME_ARGS

# A new set: Ctrl+N drops the unsaved change after a second Ctrl+N and asks for a name; the level gets a
# title, a blue brick, and Ctrl+S puts the set on the shelf, where the game lists it.
start_game
wait_for_window
wait_for_drawing
send_keys b ctrl+n ctrl+n m i n e Return
at_cell 5 5 click 1
send_keys ctrl+t shift+h i Return
sleep 0.3
capture_window titled.png >/dev/null
send_keys ctrl+s
wait_until 60 grep -q "Saved 1 levels to $USER_DIR/levels/mine.xml" "$LOG_FILE" || fail "the new set was not saved"
# Ctrl+G: the game itself plays the set from this level in a window beside the editor's; quit, the editor
# says so and the copy it played has gone.
send_keys ctrl+g
played_window() { game_window=$(xdotool search --onlyvisible --name '^Tezmola: mine$' | head -1) && [ -n "$game_window" ]; }
wait_until 30 played_window || fail "Ctrl+G opened no window of the game"
copy=$(log_text | sed -n 's/^Playing level 1 in the game .*, as practice, on //p')
[ -f "$copy" ] || fail "the copy the game plays is not there: '$copy'"
sleep 1
capture played.png >/dev/null
xdotool key --window "$game_window" Escape
wait_until 30 grep -q "The game has ended" "$LOG_FILE" || fail "the editor did not see the game end"
expect_no_file "$copy"
note "Ctrl+G played the set in the game"
send_keys Escape
wait_for_exit
expect_status 0
grep -q '<level title="Hi"[ >]' "$USER_DIR/levels/mine.xml" || fail "the new set's level has no title"
"$GAME" --list-levels | grep -q "^mine	1	" || fail "the game does not list the new set: $("$GAME" --list-levels)"
cmp -s "$USER_DIR/level.xml" "$WORK/saved.xml" || fail "the dropped change reached level.xml"
note "Ctrl+N started a set on the shelf, titled and saved; the game lists it"

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

# Without a file the editor opens the set the game would play next; a set that has gone is said.
TEZMOLA="$EDITOR"
LOG_FILE="$USER_DIR/editor-log.html"
WINDOW_NAME='^Tezmola Level Editor$'
for set in mine gone; do
    printf '<?xml version="1.0"?>\n<levels><set value="%s"/></levels>\n' $set >"$USER_DIR/settings.xml"
    start_game
    wait_for_window
    wait_for_drawing
    send_keys Escape
    wait_for_exit
    expect_status 0
    if [ $set = mine ]; then
        grep -q -F "Editing the level set the game plays, $USER_DIR/levels/mine.xml" "$LOG_FILE" ||
            fail "the editor did not open the set the game would play"
    else
        grep -q "The level set gone the game would play has gone" "$LOG_FILE" || fail "the set that has gone is not said"
        expect_log_lacks "Editing the level set the game plays"
    fi
done
note "without a file: the set the game would play"
note "passed"
