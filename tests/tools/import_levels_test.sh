#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The level importer on small hand-made LBreakout2 sets: the brick table of the level guide, the notes,
# Latin-1 titles and CR LF line ends, damaged sets, --install with its backup and a linked level.xml, and
# the file read back by the level checker. No display and no sound device: neither program opens one.
# Usage: import_levels_test.sh PATH/TO/tezmola-import-levels SOURCE_DIR
set -u
importer=$1
checker="$(dirname "$importer")/tezmola-check-levels"
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY SDL_AUDIODRIVER SDL_VIDEODRIVER
failures=0
# A mutation check (TEZMOLA_MUTANT set) needs only the first failure.
failed() { echo "FAILED: $*"; failures=$((failures + 1)); [ -z "${TEZMOLA_MUTANT:-}" ] || exit 1; }

empty_row='..............'
# level AUTHOR TITLE ROW...: one level of a set, its rows of bricks first and the rest empty.
level() {
    printf 'Level:\n%s\n%s\nBricks:\n' "$1" "$2"
    shift 2
    local rows=0
    for row in "$@"; do printf '%s\n' "$row"; rows=$((rows + 1)); done
    for ((; rows < 18; rows++)); do printf '%s\n' "$empty_row"; done
    printf 'Bonus:\n'
    for ((r = 0; r < 18; r++)); do printf '%s\n' "$empty_row"; done
}

# run NAME ARGUMENTS...: the importer's exit status in $status, its report in $work/NAME.err.
run() {
    local name=$1
    shift
    "$importer" "$@" >"$work/$name.out" 2>"$work/$name.err"
    status=$?
}
expect_status() { [ "$status" -eq "$1" ] || failed "$2: status $status, expected $1"; }
expect_said() {
    grep -q -F -e "$2" "$work/$1.err" || { failed "$1: the report lacks: $2"; sed 's/^/    /' "$work/$1.err"; }
}
# The map rows of the written file's levels, without the frame's top row.
map_rows() { grep -E '^    I\. ' "$1"; }

# The command line.
run usage; expect_status 2 "no set"
run usage --bogus x; expect_status 2 "an unknown option"
run usage --install -o x.xml x; expect_status 2 "--install with -o"
run usage x -o ""; expect_status 2 "-o with an empty name"
"$importer" --help | grep -q "^Usage: tezmola-import-levels" || failed "--help"
"$importer" --version | grep -q "^tezmola-import-levels (Tezmola) [0-9]" || failed "--version"

# Every letter of the level guide's table becomes the code the table gives, in the cell of the frame's
# inside that the letter takes; and the behaviours that cannot be kept are named.
letters=$(awk -F'|' '/^## Importing/ { inside = 1 } inside && $2 ~ /^ `.` $/ && $4 ~ /`/ {
        gsub(/[ `]/, "", $2); gsub(/[ `]/, "", $4); print $2, $4 }' "$source_dir/docs/levels.md")
[ "$(echo "$letters" | wc -l)" -eq 21 ] || failed "the level guide's table has $(echo "$letters" | wc -l) letters, not 21"
row1=""; row2=""; expected1="I."; expected2="I."
while read -r letter code; do
    if [ ${#row1} -lt 14 ]; then row1+=$letter; expected1+=" $code"; else row2+=$letter; expected2+=" $code"; fi
done <<<"$letters"
while [ ${#row2} -lt 14 ]; do row2+=.; expected2+=" .."; done
{ level tester "every brick" "$empty_row" "$row1" "$row2"; } >"$work/table"
run table --no-proof "$work/table"
expect_status 0 "the table set"
map_rows "$work/table.out" | sed -n 2p | grep -q -x -F "    $expected1 I." ||
    failed "row 2 is '$(map_rows "$work/table.out" | sed -n 2p)', expected '$expected1 I.'"
map_rows "$work/table.out" | sed -n 3p | grep -q -x -F "    $expected2 I." ||
    failed "row 3 is '$(map_rows "$work/table.out" | sed -n 3p)', expected '$expected2 I.'"
expect_said table "table:1: note: level 1 of the set: 1 chaotic brick bounces the ball plainly, 1 invisible brick is shown, 3 regenerating bricks do not heal, 1 explosive brick does not explode, 1 growing brick does not grow"
expect_said table "The sets' bonus layers are left out"

# A set as they come: a version line, CR LF line ends, a Latin-1 author, a "--" in a title, a control
# character, and a row of 15 letters whose last is a brick. Two levels, proven; the checker reads the file
# as the game will and agrees on every level.
{
    echo "Version: 1.00"
    level $'J\xfcrgen' $'Ice -- and \x0efire' "$empty_row" "ddddddddddddddd" "aabbccvvxxyyzz"
    level "" "" "$empty_row" "jjjjjjjjjjjjjj" "EE........##@@" "*!*!*!*!*!*!*!"
} | sed 's/$/\r/' >"$work/real"
run real -o "$work/real.xml" "$work/real"
expect_status 0 "a set with CR LF, Latin-1 and a long row"
expect_said real "real: 2 levels, as levels 1 to 2"
expect_said real "real:2: note: level 1 of the set: 2 invisible bricks are shown, 6 regenerating bricks do not heal, bricks past the 14th column of 1 row are left out"
expect_said real "2 levels imported, 2 cleared, 0 not proven; 0 errors; 2 levels written to $work/real.xml"
grep -q -x -F -- "<!-- real 1: Ice - and  fire, by Jürgen -->" "$work/real.xml" || failed "the comment: $(grep -- '<!--' "$work/real.xml" | head -1)"
grep -q -x -F -- "<!-- real 2 -->" "$work/real.xml" || failed "a level without title and author"
[ "$(grep -c 'sprite="bg_' "$work/real.xml")" -eq 2 ] && [ "$(grep 'sprite=' "$work/real.xml" | sort -u | wc -l)" -eq 2 ] ||
    failed "the two levels do not have two different backgrounds"
# A file name of one letter, in the current folder.
program="$(cd "$(dirname "$importer")" && pwd)/$(basename "$importer")"
(cd "$work" && "$program" --no-proof -o r "$work/real" 2>/dev/null) && [ "$(grep -c '<level>' "$work/r")" -eq 2 ] ||
    failed "-o with a one-letter name"
"$checker" "$work/real.xml" >"$work/check.out" 2>&1 || failed "the checker does not pass the file: $(tail -1 "$work/check.out")"
diff <(grep '^Level' "$work/check.out") <(grep '^Level' "$work/real.err") >/dev/null ||
    failed "the checker and the importer disagree: $(diff <(grep '^Level' "$work/check.out") <(grep '^Level' "$work/real.err"))"

# Damaged sets: each named with its line, the good levels around them and the other sets still imported,
# the file still written, exit status 1.
{
    level a "short row" "$empty_row" "ddddd"
    printf 'Level:\na\nno bricks\nBonus:\n'
    level a "unknown letter" "$empty_row" "ddddddQddddddd"
    level a "good" "$empty_row" "dddddddddddddd"
    printf 'Level:\na\ncut short\nBricks:\n%s\n%s\n' "$empty_row" "$empty_row"
} >"$work/damaged"
head -c 3000 /dev/urandom >"$work/binary"
printf 'Level:\x00\x01\n' >>"$work/binary"
truncate -s 100M "$work/huge"
run damaged -o "$work/damaged.xml" "$work/damaged" "$work/binary" "$work/huge" "$work/real" "$work/missing"
expect_status 1 "damaged sets"
expect_said damaged "damaged:6: error: the row has 5 letters, not 14"
expect_said damaged "damaged:45: error: the level has no \"Bricks:\" block"
expect_said damaged "damaged:51: error: column 7: 'Q' is no brick letter"
expect_said damaged "damaged: 1 level, as levels 1 to 1"
expect_said damaged "damaged:133: error: the set ends after 2 of the 18 rows of bricks"
expect_said damaged "binary:1: error: text where a \"Level:\" line should begin a level"
expect_said damaged "huge: error: it is larger than 16 MB, which no level set is"
expect_said damaged "real: 2 levels, as levels 2 to 3"
expect_said damaged "missing: error: cannot read it: No such file or directory"
expect_said damaged "5 sets, 3 levels imported, 3 cleared, 0 not proven; 7 errors; 3 levels written to"
[ "$(grep -c '<level>' "$work/damaged.xml")" -eq 3 ] || failed "damaged.xml does not hold 3 levels"
# A file that cannot be written leaves nothing behind.
run unwritable -o "$work/no/such/folder/level.xml" "$work/real"
expect_status 1 "an unwritable file"
expect_said unwritable "error: cannot write $work/no/such/folder/level.xml"
[ -z "$(ls "$work/no" 2>/dev/null)" ] || failed "a half-written file was left"

# Levels that cannot be proven: an empty one is kept with a warning, or left out with --drop-unproven.
{ level a "empty"; level a "full" "$empty_row" "dddddddddddddd"; } >"$work/empty"
run kept -o "$work/kept.xml" "$work/empty"
expect_status 1 "an unproven level kept"
expect_said kept "empty:1: warning: level 1 of the set is not proven and kept all the same"
run dropped -o "$work/dropped.xml" --drop-unproven "$work/empty"
expect_status 1 "an unproven level left out"
expect_said dropped "1 not proven; 0 errors; 1 level written to"
[ "$(grep -c '<level>' "$work/kept.xml") $(grep -c '<level>' "$work/dropped.xml")" = "2 1" ] ||
    failed "kept and dropped files do not hold 2 and 1 levels"

# --install: the player's level.xml, the one before kept once as level.xml.bak; a link stays a link.
export HOME="$work/home"
folder="$HOME/My Games/Tezmola"
run install1 --install "$work/real"
expect_status 0 "the first install"
cmp -s "$folder/level.xml" "$work/real.xml" || failed "the installed file differs from the one written with -o"
[ ! -e "$folder/level.xml.bak" ] || failed "a backup without a file before"
run install2 --install --no-proof "$work/table"
cmp -s "$folder/level.xml.bak" "$work/real.xml" && cmp -s "$folder/level.xml" "$work/table.out" ||
    failed "the second install did not keep the first as level.xml.bak"
mkdir "$work/dotfiles"
mv "$folder/level.xml" "$work/dotfiles/levels.xml"
ln -s "$work/dotfiles/levels.xml" "$folder/level.xml"
run install3 --install "$work/real"
[ -L "$folder/level.xml" ] && cmp -s "$work/dotfiles/levels.xml" "$work/real.xml" ||
    failed "the linked level.xml is no longer a link to the new file"
cmp -s "$folder/level.xml.bak" "$work/table.out" || failed "the link's old file was not kept as level.xml.bak"
ls "$folder" "$work/dotfiles" | grep -q '\.new$' && failed "a temporary file was left"

echo "$failures failed"
[ "$failures" -eq 0 ]
