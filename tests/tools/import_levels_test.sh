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
grep -q -x -F "1 set, 2 levels imported, 2 cleared, 0 not proven; 0 errors; 2 levels written to $work/real.xml" \
    "$work/real.err" || failed "the summary: $(tail -1 "$work/real.err")"
grep -q -x -F -- "<!-- real 1: Ice - and  fire, by Jürgen -->" "$work/real.xml" || failed "the comment: $(grep -- '<!--' "$work/real.xml" | head -1)"
grep -q -x -F -- "<!-- real 2 -->" "$work/real.xml" || failed "a level without title and author"
grep -q -x -F -- '<level title="Ice -- and fire" author="Jürgen" proven="yes">' "$work/real.xml" &&
    grep -q -x -F -- '<level proven="yes">' "$work/real.xml" || failed "the levels' title, author and proof: $(grep '<level' "$work/real.xml")"
[ "$(grep -c 'sprite="bg_' "$work/real.xml")" -eq 2 ] && [ "$(grep 'sprite=' "$work/real.xml" | sort -u | wc -l)" -eq 2 ] ||
    failed "the two levels do not have two different backgrounds"
# A file name of one letter, in the current folder.
program="$(cd "$(dirname "$importer")" && pwd)/$(basename "$importer")"
(cd "$work" && "$program" --no-proof -o r "$work/real" 2>/dev/null) && [ "$(grep -c '<level[ >]' "$work/r")" -eq 2 ] ||
    failed "-o with a one-letter name"
"$checker" "$work/real.xml" >"$work/check.out" 2>&1 || failed "the checker does not pass the file: $(tail -1 "$work/check.out")"
diff <(grep '^Level' "$work/check.out") <(grep '^Level' "$work/real.err") >/dev/null ||
    failed "the checker and the importer disagree: $(diff <(grep '^Level' "$work/check.out") <(grep '^Level' "$work/real.err"))"

# Damaged sets: each named with its line, the good levels around them and the other sets still read, exit
# status 1; nothing is written unless --partial asks for the levels read, and says so.
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
# A set that ends right after the bricks of its last level, without a bonus block, is read whole.
{ level a "good"; } | head -n 22 >"$work/no_bonus"
run no_bonus --no-proof "$work/no_bonus"
expect_status 0 "a set without a bonus block at its end"
# A set cut inside the bonus block of its last level: levels after it may be lost.
{ level a "good"; } | head -n 30 | sed "27{p;s/.*//}" >"$work/cut_bonus"  # a blank line is no row
run damaged -o "$work/damaged.xml" "$work/damaged" "$work/binary" "$work/huge" "$work/real" "$work/missing" \
    "$work/cut_bonus"
expect_status 1 "damaged sets without --partial"
[ ! -e "$work/damaged.xml" ] || failed "damaged sets were written without --partial"
expect_said damaged "a set was not read whole, so nothing is written"
expect_said damaged "cut_bonus:31: error: the set ends after 7 of the 18 rows of the bonus block"
run cut_bonus --partial --no-proof "$work/cut_bonus"
expect_status 1 "a set cut short, with --partial"
expect_said cut_bonus "1 error; 1 level written to standard output, only those read (--partial)"
run damaged --partial -o "$work/damaged.xml" "$work/damaged" "$work/binary" "$work/huge" "$work/real" \
    "$work/missing"
expect_status 1 "damaged sets with --partial"
expect_said damaged "damaged:6: error: the row has 5 letters, not 14"
expect_said damaged "damaged:45: error: the level has no \"Bricks:\" block"
expect_said damaged "damaged:51: error: column 7: 'Q' is no brick letter"
expect_said damaged "damaged: 1 level, as levels 1 to 1"
expect_said damaged "damaged:133: error: the set ends after 2 of the 18 rows of bricks"
expect_said damaged "binary:1: error: text where a \"Level:\" line should begin a level"
expect_said damaged "huge: error: it is larger than 16 MB, which no level set is"
expect_said damaged "real: 2 levels, as levels 2 to 3"
expect_said damaged "missing: error: cannot read it: No such file or directory"
expect_said damaged "5 sets, 3 levels imported, 3 cleared, 0 not proven; 7 errors; 3 levels written to $work/damaged.xml, only those read (--partial)"
[ "$(grep -c '<level[ >]' "$work/damaged.xml")" -eq 3 ] || failed "damaged.xml does not hold 3 levels"
# A file that cannot be written leaves nothing behind.
run unwritable -o "$work/no/such/folder/level.xml" "$work/real"
expect_status 1 "an unwritable file"
expect_said unwritable "error: cannot write $work/no/such/folder/level.xml"
[ -z "$(ls "$work/no" 2>/dev/null)" ] || failed "a half-written file was left"

# -o never writes over a set it reads (by another name too) and never replaces what is not a file: a
# device takes the bytes in place, a folder is refused.
cp "$work/real" "$work/own"
ln -s own "$work/own_link"
run own --no-proof -o "$work/own_link" "$work/table" "$work/own"
expect_status 2 "-o naming its own input"
expect_said own "names the set $work/own, which it would overwrite"
cmp -s "$work/own" "$work/real" || failed "-o changed its own input"
# A device of the test's own, never the system's /dev/null (a fault must not replace it); a pipe without
# the root that mknod needs for a device.
if mknod "$work/null" c 1 3 2>/dev/null; then
    run device --no-proof -o "$work/null" "$work/real"
    [ -c "$work/null" ] || failed "the device was replaced"
else
    mkfifo "$work/null"
    cat "$work/null" >/dev/null &
    run device --no-proof -o "$work/null" "$work/real"
    wait
    [ -p "$work/null" ] || failed "the pipe was replaced"
fi
expect_status 0 "-o naming a device"
mkdir "$work/folder_target"
run folder --no-proof -o "$work/folder_target" "$work/real"
expect_status 1 "-o naming a folder"
expect_said folder "cannot write $work/folder_target: it is not a regular file"

# Levels that cannot be proven: an empty one is kept with a warning, or left out with --drop-unproven; the
# import succeeds all the same, unless --fail-unproven asks for a failure (the file still written).
{ level a "empty"; level a "full" "$empty_row" "dddddddddddddd"; } >"$work/empty"
run kept -o "$work/kept.xml" "$work/empty"
expect_status 0 "an unproven level kept"
expect_said kept "empty:1: warning: level 1 of the set is not proven and kept all the same"
run dropped -o "$work/dropped.xml" --drop-unproven "$work/empty"
expect_status 0 "an unproven level left out"
expect_said dropped "1 not proven; 0 errors; 1 level written to"
run strict -o "$work/strict.xml" --fail-unproven "$work/empty"
expect_status 1 "an unproven level with --fail-unproven"
run no_proof --fail-unproven --no-proof "$work/empty"; expect_status 2 "--fail-unproven without the proof"
expect_said no_proof "--fail-unproven needs the proof that --no-proof leaves out"
run strict_ok --fail-unproven -o "$work/strict_ok.xml" "$work/real"; expect_status 0 "--fail-unproven, every level proven"
[ "$(grep -c '<level[ >]' "$work/kept.xml") $(grep -c '<level[ >]' "$work/dropped.xml") $(grep -c '<level[ >]' "$work/strict.xml")" = "2 1 2" ] ||
    failed "kept, dropped and --fail-unproven files do not hold 2, 1 and 2 levels"

# --install: each set on the shelf under its own name, the one before of that name kept as .bak (or, where a
# different older backup is there, under the next free name), the last set installed chosen in settings.xml
# with the player's other settings kept; level.xml and the other sets untouched; a link stays a link. A set
# that is not read whole installs nothing.
export HOME="$work/home"
folder="$HOME/My Games/Tezmola"
mkdir -p "$folder"
printf '<?xml version="1.0" encoding="utf-8" ?>\n<graphics>\n    <bbp value="16" />\n</graphics>\n' >"$folder/settings.xml"
echo "the player's own" >"$folder/level.xml"
chosen() { grep -o '<set value="[^"]*"' "$folder/settings.xml"; }
run install1 --install "$work/real"
expect_status 0 "the first install"
cmp -s "$folder/levels/real.xml" "$work/real.xml" || failed "the installed file differs from the one written with -o"
[ ! -e "$folder/levels/real.xml.bak" ] || failed "a backup without a file before"
[ "$(chosen)" = '<set value="real"' ] && grep -q '<bbp value="16" />' "$folder/settings.xml" ||
    failed "settings.xml after the install: $(cat "$folder/settings.xml")"
run install2 --install --no-proof "$work/table" "$work/empty"
cmp -s "$folder/levels/real.xml" "$work/real.xml" && cmp -s "$folder/levels/table.xml" "$work/table.out" &&
    [ "$(chosen)" = '<set value="empty"' ] || failed "two sets installed after a third: $(ls "$folder/levels") $(chosen)"
mkdir "$work/dotfiles"
mv "$folder/levels/real.xml" "$work/dotfiles/real.xml"
ln -s "$work/dotfiles/real.xml" "$folder/levels/real.xml"
run install3 --install --no-proof "$work/table"
run install4 --install "$work/real"
[ -L "$folder/levels/real.xml" ] && cmp -s "$work/dotfiles/real.xml" "$work/real.xml" ||
    failed "the linked set is no longer a link to the new file"
cmp -s "$folder/levels/real.xml.bak" "$work/real.xml" && cmp -s "$folder/levels/table.xml.bak" "$work/table.out" ||
    failed "a set installed again was not kept as its .bak"
[ "$(cat "$folder/level.xml")" = "the player's own" ] && [ "$(chosen)" = '<set value="real"' ] ||
    failed "level.xml or the choice after installing again"
run install_damaged --install --no-proof "$work/table" "$work/missing"
expect_status 1 "an install with a missing set"
cmp -s "$folder/levels/table.xml" "$work/table.out" && [ "$(chosen)" = '<set value="real"' ] ||
    failed "an install with a read error changed the shelf or the choice"
echo "the player's edit" >"$folder/levels/table.xml"
run install6 --install --no-proof "$work/table"
cmp -s "$folder/levels/table.xml.bak" "$work/table.out" &&
    [ "$(cat "$folder/levels/table.xml.bak.2")" = "the player's edit" ] ||
    failed "the player's edit was not kept beside the older backup"
expect_said install6 "the set before is kept as $folder/levels/table.xml.bak.2"
run install7 --install --no-proof "$work/table"
[ ! -e "$folder/levels/table.xml.bak.3" ] || failed "a file kept already in a backup was kept again"
[ "$(grep -c "is kept as" "$work/install7.err")" = 0 ] || failed "the usual backup was told"
# Of two sets of one name the second is refused, both paths named, and so is a set whose file on the shelf
# is a link to one this install wrote; the sets after them still go, the last one chosen; exit status 1.
mkdir "$work/one" "$work/two"
cp "$work/table" "$work/one/twin"
cp "$work/real" "$work/two/twin"
cp "$work/real" "$work/alias"
ln -s twin.xml "$folder/levels/alias.xml"
run twins --install --no-proof "$work/one/twin" "$work/two/twin" "$work/real" "$work/alias"
expect_status 1 "two sets of one name"
expect_said twins "error: cannot put $work/two/twin on the shelf: $work/one/twin is put there under the same name by this install"
expect_said twins "error: cannot put $work/alias on the shelf: $work/one/twin is put there in the same file, $folder/levels/alias.xml,"
expect_said twins "0 errors; 3 levels written to $folder/levels; 2 sets not put on the shelf"
[ "$(grep -c '<level[ >]' "$folder/levels/twin.xml") $(chosen)" = '1 <set value="real"' ] && [ ! -e "$folder/levels/twin.xml.bak" ] ||
    failed "the first of two sets of one name is not the one on the shelf, or the choice: $(chosen)"
# Settings the game could not read are left as they are: the set is installed, the choice is F3's.
printf '<graphics' >"$folder/settings.xml"
run install5 --install --no-proof "$work/table"
expect_status 0 "an install beside unreadable settings"
expect_said install5 "table is on the shelf, but the game's settings.xml could not say to play it next"
[ "$(cat "$folder/settings.xml")" = "<graphics" ] || failed "unreadable settings were rewritten"
ls "$folder" "$folder/levels" "$work/dotfiles" | grep -q '\.new$' && failed "a temporary file was left"
# A set named as Tezmola's own levels is not put on the shelf, nor any set where the shelf cannot be made.
cp "$work/table" "$work/Tezmola"
run install_own --install --no-proof "$work/table" "$work/Tezmola"
expect_status 1 "a set named as the game's own"
expect_said install_own "; 1 level written to $folder/levels; 1 set not put on the shelf"
expect_said install_own "tezmola-import-levels: error: cannot put Tezmola on the shelf: Tezmola's own levels have that name"
[ ! -e "$folder/levels/Tezmola.xml" ] || failed "a set named as the game's own was installed"
HOME="$work/home2"
mkdir -p "$HOME/My Games/Tezmola"
echo "not a folder" >"$HOME/My Games/Tezmola/levels"
run install_no_shelf --install --no-proof "$work/table"
expect_status 1 "a shelf that cannot be made"
expect_said install_no_shelf "tezmola-import-levels: error: cannot make the shelf folder $HOME/My Games/Tezmola/levels"
[ "$(cat "$HOME/My Games/Tezmola/levels")" = "not a folder" ] || failed "the file in the shelf's place changed"

echo "$failures failed"
[ "$failures" -eq 0 ]
