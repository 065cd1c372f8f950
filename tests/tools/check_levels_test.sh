#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The level checker on small level files: its exit status and the words an author reads. No display and
# no sound device: the checker opens neither.
# Usage: check_levels_test.sh PATH/TO/tezmola-check-levels SOURCE_DIR
set -u
checker=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY SDL_AUDIODRIVER SDL_VIDEODRIVER
failures=0
options=()  # given to the checker before the file

# expect STATUS FILE WORDS...: runs the checker on FILE; the status and each line of words must match.
expect() {
    local status=$1 file=$2
    shift 2
    timeout 30 "$checker" ${options[@]+"${options[@]}"} "$file" >"$work/out" 2>"$work/err"
    local got=$?
    local ok=1
    [ "$got" -eq "$status" ] || ok=0
    # Nothing on standard error: the game's data was found beside the checker, and no sanitizer spoke.
    [ -s "$work/err" ] && { ok=0; cat "$work/err" >>"$work/out"; }
    for words in "$@"; do
        grep -q -F -e "$words" "$work/out" || { ok=0; echo "missing: $words"; }
    done
    if [ "$ok" -eq 1 ]; then
        echo "ok: $file (status $got)"
    else
        echo "FAILED: $file: status $got, expected $status; the checker said:"
        sed 's/^/    /' "$work/out"
        failures=$((failures + 1))
        [ -z "${TEZMOLA_MUTANT:-}" ] || exit 1  # a mutation check needs only the first failure
    fi
}

# A level element: the background, then the map read from standard input.
level() {
    printf '<level>\n<tezm>\n'
    cat
    printf '</tezm>\n%s\n</level>\n' "$1"
}
plate='<background sprite="bg_plate" red="0.5" green="0.5" blue="0.5"/>'
top='+. -- -- -- -- -- -- -- -- -- -- -- -- -- -- +.'
# rows CODE COUNT: that many map rows of fourteen equal codes inside the frame.
rows() {
    for ((r = 0; r < $2; r++)); do
        printf 'I.'
        for ((c = 0; c < 14; c++)); do printf ' %s' "$1"; done
        printf ' I.\n'
    done
}

# The command line.
"$checker" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAILED: no file is not a usage error"; failures=$((failures + 1)); }
"$checker" --bogus x.xml >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAILED: an unknown option is not a usage error"; failures=$((failures + 1)); }
"$checker" a.xml b.xml 2>&1 >/dev/null | grep -q "more than one file: b.xml" && [ "${PIPESTATUS[0]}" -eq 2 ] || { echo "FAILED: two files are not a usage error"; failures=$((failures + 1)); }
"$checker" --help | grep -q "Usage: tezmola-check-levels \[--changed-only\] FILE" || { echo "FAILED: --help"; failures=$((failures + 1)); }
"$checker" --version | grep -q "^tezmola-check-levels (Tezmola) [0-9]" || { echo "FAILED: --version"; failures=$((failures + 1)); }

# The example of the level guide is accepted, as a file and as the folder that holds it.
mkdir "$work/folder"
awk '/^## An example/ { inside = 1 } inside && /^```xml/ { copy = 1; next } copy && /^```/ { exit } copy' \
    "$source_dir/docs/levels.md" >"$work/folder/level.xml"
expect 0 "$work/folder/level.xml" "Level 1: 30 bricks to clear, 0 steel: cleared in" "2 levels, 2 cleared; 0 warnings"
expect 0 "$work/folder" "2 levels, 2 cleared; 0 warnings"
(cd "$work/folder" && zip -q ../levels.pak level.xml)
expect 0 "$work/levels.pak" "2 levels, 2 cleared; 0 warnings"
# --changed-only takes a level's result from its proof record (the guide's example has one for each level)
# only while the record fits the level: one changed since it was proven is proven again. After "--" it is
# a file's name.
options=(--changed-only)
expect 0 "$work/folder/level.xml" "Level 1: 30 bricks to clear, 0 steel: cleared in 39.9 s" \
    "2 levels, 2 cleared; 0 warnings; 2 proofs taken from the record"
sed '0,/red="0.3"/s//red="0.35"/' "$work/folder/level.xml" >"$work/recorded.xml"
expect 0 "$work/recorded.xml" "Level 2: 16 bricks to clear, 4 steel: cleared in 85.9 s" \
    "2 levels, 2 cleared; 0 warnings; 1 proof taken from the record"
options=()
(cd "$work" && "$checker" -- --changed-only >"$work/out" 2>&1); [ $? -eq 1 ] && grep -q "^--changed-only: error: Cannot read level file!" "$work/out" ||
    { echo "FAILED: --changed-only after -- is not a file's name"; failures=$((failures + 1)); }

# What the game accepts silently: an unknown code, a brick on the frame, text after row 18 and an unknown
# background are warnings; the level is still played and cleared.
{
    echo "+. -- R1 -- -- -- -- -- -- -- -- -- -- -- -- +."
    echo "I. .. .. X1 R0 Y1 Y1 Y1 Y1 Y1 Y1 Y1 Y1 Y1 .. .. B1"
    rows .. 17
    echo "G1 G1"
} | level '<background sprite="bg_nowhere" red="0.5" green="0.5" blue="0.5"/>' >"$work/silent.xml"
expect 0 "$work/silent.xml" "Level 1: 12 bricks to clear, 0 steel: cleared in" \
    'silent.xml:2: warning: map row 1, column 3: unknown brick code "X1"; the game skips it' \
    'map row 1, column 3: "R0" makes a red brick of 0 hit points' \
    "map row 0, column 2: a red brick replaces the frame there" \
    "map row 1, column 15: a blue brick replaces the frame there" \
    'text after row 18 is never read: "G1 G1"' \
    'no sprite sheet holds the background "bg_nowhere"' "6 warnings"

# What the game logs: a level without a background, one without a tint attribute, and one without a map.
{
    { echo "$top"; rows R1 1; } | level ''
    { echo "$top"; rows R1 1; } | level '<background sprite="bg_plate" green="1" blue="1"/>'
    printf '<level>%s</level>\n' "$plate"
} >"$work/malformed.xml"
expect 1 "$work/malformed.xml" "Level 1: 14 bricks to clear, 0 steel: malformed" \
    "malformed.xml:1: error: Level 1 is malformed: no background element" \
    'error: Level 2 is malformed: the background element has no "red" attribute' \
    'error: Level 3 is malformed: no "tezm" element' "3 levels, 0 cleared, 3 malformed"

# A file that is no XML document stops the game at start-up; the parser's line and column are named.
printf '<level>\n<tezm>..\n</level>\n' >"$work/broken.xml"
expect 1 "$work/broken.xml" "broken.xml:3:1: error: Cannot read level file!"
expect 1 "$work/missing.xml" "missing.xml: error: Cannot read level file!"
# A file cut short inside an element: the parser names no place, the checker names the line it ends on.
printf '<level>\n<tezm>\n+. --' >"$work/cut.xml"
expect 1 "$work/cut.xml" "cut.xml:3: error: Cannot read level file!"
# A folder without a level file is not taken for the game's own levels.
mkdir "$work/empty"
expect 1 "$work/empty" "empty: error: Cannot read level file! It holds no level.xml"

# Steel alone: nothing to clear, so the game skips the level; one such level fails the whole file.
{
    { echo "$top"; rows R1 1; } | level "$plate"
    { echo "$top"; rows SS 1; } | level "$plate"
} >"$work/steel.xml"
expect 1 "$work/steel.xml" "Level 2: 0 bricks to clear, 14 steel: nothing to clear" \
    "2 levels, 1 cleared, 1 with nothing to clear"

# Bricks of 78 hit points behind twelve rows of steel: the autopilot does not get through in ten minutes.
{ echo "$top"; rows 'M~' 6; rows SS 12; } | level "$plate" >"$work/fortress.xml"
expect 1 "$work/fortress.xml" "Level 1: 84 bricks to clear, 168 steel: not proven with" "after 600.0 s simulated" \
    'map row 1, column 5: "M~" makes a magenta brick of 78 hit points' \
    "79 more bricks have hit points outside 1 to 9" "1 level, 0 cleared, 1 not proven"

# A brick in place of the top pipe is aimed at like any other: the autopilot takes it at once, where
# chance would take minutes.
{ echo "+. -- -- -- -- -- R1 -- -- -- -- -- -- -- -- +."; } | level "$plate" >"$work/top.xml"
expect 0 "$work/top.xml" "Level 1: 1 brick to clear, 0 steel: cleared in 1." "1 level, 1 cleared; 1 warning"

# The shipped levels play exactly as recorded: every bounce, capsule and score of the autopilot's games
# shows in the output, so a fault in how balls fly or bricks break changes its digest (the same record as
# scripts/check-debian-levels.sh keeps; --record there renews it when play is meant to change).
cp "$source_dir/data/level.xml" "$work/shipped.xml"
(cd "$work" && "$checker" shipped.xml >shipped.out 2>&1 && sha256sum shipped.out) >"$work/digest"
if grep -q -x -F -f "$work/digest" "$source_dir/tests/tools/debian_levels.digest"; then
    echo "ok: the shipped levels play as recorded"
else
    echo "FAILED: the checker's output on the shipped levels differs from tests/tools/debian_levels.digest"
    failures=$((failures + 1))
fi
# So do two of the Debian sets whose play leans most on the collision step's kept lines (several fast balls,
# power balls through bricks): a fault there changes their digest first.
importer=$(dirname "$checker")/tezmola-import-levels
# --replay plays recorded games again on the player's shelf (an empty folder here): the recorded game over on
# the game's own levels reaches its claim; a file of 100 MB that is no replay is refused without being read
# whole. "--" ends the options: after it "--replay" is a level file's name.
mkdir "$work/home"
options=(--replay)
HOME=$work/home expect 0 "$source_dir/tests/data/replays/game_over.tzr" "score 19630, level 3, 0 balls: as claimed"
truncate -s 100M "$work/huge.tzr"
HOME=$work/home expect 1 "$work/huge.tzr" "huge.tzr: cannot be played: not a replay"
options=()
"$checker" --replay >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAILED: --replay without a file is not a usage error"; failures=$((failures + 1)); }
"$checker" --replay --bogus x.tzr >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAILED: an unknown option after --replay is not a usage error"; failures=$((failures + 1)); }
out=$("$checker" --replay --help) && grep -q -e "--replay REPLAY" <<<"$out" || { echo "FAILED: --replay --help"; failures=$((failures + 1)); }
out=$("$checker" --replay --version) && grep -q "^tezmola-check-levels (Tezmola) [0-9]" <<<"$out" || { echo "FAILED: --replay --version"; failures=$((failures + 1)); }
"$checker" --replay -x >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAILED: --replay -x is not a usage error"; failures=$((failures + 1)); }
(cd "$work" && HOME=$work/home "$checker" --replay - >"$work/out" 2>&1); [ $? -eq 1 ] && grep -q "^-: cannot be played: it cannot be read" "$work/out" ||
    { echo "FAILED: --replay - is not a file"; failures=$((failures + 1)); }
# A set on the player's shelf: the game's own levels under another name, and the recorded game renamed to it.
# A pipe, as the replay or as the set it names, is refused without waiting for a writer.
mkdir -p "$work/home/My Games/Tezmola/levels"
cp "$source_dir/data/level.xml" "$work/home/My Games/Tezmola/levels/Shelved.xml"
mkfifo "$work/piped.tzr" "$work/piped.xml"
python3 -c '
import struct, sys, zlib
for name, path in zip(sys.argv[2::2], sys.argv[3::2]):
    data = open(sys.argv[1], "rb").read()[:-4].replace(b"\x07Tezmola", bytes([len(name)]) + name.encode(), 1)
    open(path, "wb").write(data + struct.pack("<I", zlib.crc32(data)))
' "$source_dir/tests/data/replays/game_over.tzr" Shelved "$work/shelved.tzr" "$work/piped.xml" "$work/piped-set.tzr"
options=(--replay)
HOME=$work/home expect 0 "$work/shelved.tzr" "score 19630, level 3, 0 balls: as claimed"
HOME=$work/home expect 1 "$work/piped.tzr" "piped.tzr: cannot be played: it cannot be read (Not a regular file)"
HOME=$work/home expect 1 "$work/piped-set.tzr" "cannot be read: it is not a regular file"
options=()
expect 1 "$work/piped.xml" "piped.xml: error: Cannot read level file! It is not a regular file"
(cd "$work" && "$checker" -- --replay >"$work/out" 2>&1); [ $? -eq 1 ] && grep -q "^--replay: error: Cannot read level file!" "$work/out" ||
    { echo "FAILED: --replay after -- is not a file"; failures=$((failures + 1)); }
(cd "$work" && HOME=$work/home "$checker" --replay -- --help >"$work/out" 2>&1); [ $? -eq 1 ] && grep -q "^--help: cannot be played: it cannot be read" "$work/out" ||
    { echo "FAILED: --help after --replay -- is not a replay"; failures=$((failures + 1)); }
debian_sets=/usr/share/games/lbreakout2/levels
for name in Kazan-1 Wizi; do
    [ -f "$debian_sets/$name" ] && [ -x "$importer" ] || { echo "skipped: $name (no Debian level sets)"; continue; }
    (cd "$work" && "$importer" --no-proof -o "$name.xml" "$debian_sets/$name" 2>/dev/null &&
        "$checker" "$name.xml" >"$name.out" 2>&1; sha256sum "$name.out") >"$work/digest"
    if grep -q -x -F -f "$work/digest" "$source_dir/tests/tools/debian_levels.digest"; then
        echo "ok: the Debian set $name plays as recorded"
    else
        echo "FAILED: the checker's output on the Debian set $name differs from its digest"
        failures=$((failures + 1))
    fi
done

echo "$failures failed"
[ "$failures" -eq 0 ]
