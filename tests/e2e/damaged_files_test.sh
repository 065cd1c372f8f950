#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Damaged or unusual files in the player's folder: a broken archive is named and the game plays on with its
# own data; a settings file the parser used to stop in quietly is kept as settings.xml.bad; a settings
# file that is a symbolic link is used and stays a link; a pipe as the replay holds nothing up; an
# archive entry that claims 2 GiB takes no memory.
source "$(dirname "$0")/lib.sh" "$@"

require_tools python3 import convert

# A ZIP archive at $1 holding one stored entry $2 with content $3 whose header claims $4 bytes.
overstated_archive() {
    python3 - "$@" <<'EOF'
import struct, sys, zipfile
path, name, content, claimed = sys.argv[1], sys.argv[2], sys.argv[3].encode(), int(sys.argv[4])
with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as archive:
    archive.writestr(name, content)
data = bytearray(open(path, "rb").read())
data[22:26] = struct.pack("<I", claimed)
central = data.find(b"PK\x01\x02")
data[central + 24:central + 28] = struct.pack("<I", claimed)
open(path, "wb").write(bytes(data))
EOF
}

# Plays until the field is drawn, then Escape; the game must end with exit code 0.
play_and_quit() {
    start_game
    wait_for_window
    wait_for_drawing
    send_keys Escape
    wait_for_exit 10
    expect_status 0
}

start_display
mkdir -p "$USER_DIR"

# A damaged archive of the same name as the game's own, in the player's folder.
head -c 3000 "$(dirname "$TEZMOLA")/tezmola.pak" >"$USER_DIR/tezmola.pak"
play_and_quit
mounted=$(log_text | grep -c -F "Cannot mount the archive $USER_DIR/tezmola.pak (")
[ "$mounted" = 1 ] || fail "$mounted error lines name the damaged archive, expected 1"
expect_log_lacks "Cannot read level file!"
note "damaged tezmola.pak: named once ($(log_text | grep -F 'Cannot mount')), the game played on"
rm -f "$USER_DIR/tezmola.pak"

# A declaration whose character reference lacks its ";": the parser used to stop there with no error.
printf '<?xml version="&#x0"?>\n<graphics>\n    <window_size width="640" height="480" />\n</graphics>\n' \
    >"$WORK/odd.xml"
cp "$WORK/odd.xml" "$SETTINGS_FILE"
play_and_quit
cmp -s "$WORK/odd.xml" "$SETTINGS_FILE.bad" || fail "settings.xml.bad is not the player's file"
expect_log_in_order "Loading settings from file: settings.xml" \
    "...settings.xml could not be read, it is kept as settings.xml.bad" \
    "...settings.xml does not exist, using default settings"
[ "$(setting window_size/width)" = 512 ] || fail "the defaults were not saved: $(cat "$SETTINGS_FILE")"
note "settings file the parser stopped in: kept as settings.xml.bad, warning logged"
rm -f "$SETTINGS_FILE" "$SETTINGS_FILE.bad"

# A settings file kept elsewhere and linked into the player's folder.
mkdir -p "$HOME/dotfiles"
printf '<?xml version="1.0" encoding="utf-8" ?>\n<graphics>\n    <window_size width="640" height="480" />\n</graphics>\n<audio>\n    <sound active="1" volume="1.000000" />\n</audio>\n' \
    >"$HOME/dotfiles/settings.xml"
ln -s ../../dotfiles/settings.xml "$SETTINGS_FILE"
start_game
wait_for_window
wait_until 10 window_is 640x480 || fail "the linked settings were not used: window $(window_size)"
wait_for_drawing
send_keys F2
sleep 0.3
send_keys Escape
wait_for_exit 10
expect_status 0
[ -L "$SETTINGS_FILE" ] || fail "settings.xml is no longer a link"
grep -q '<sound active="0"' "$HOME/dotfiles/settings.xml" ||
    fail "the link's target did not get the change: $(cat "$HOME/dotfiles/settings.xml")"
expect_no_file "$SETTINGS_FILE.bad"
expect_no_file "$HOME/dotfiles/settings.xml.new"
note "linked settings.xml: 640x480 used, the link kept, its target has sound off"
rm -f "$SETTINGS_FILE"

# A pipe named as the replay to watch is refused with the reason: the game never waits for a writer.
mkfifo "$WORK/piped.tzr"
GAME_ARGS=(--replay "$WORK/piped.tzr")
start_game
wait_for_exit 10
expect_status 1
grep -q -x -F "tezmola: cannot play the replay $WORK/piped.tzr: it cannot be read (Not a regular file)" \
    "$WORK/game.err" || fail "the piped replay was not refused with its reason: $(cat "$WORK/game.err")"
GAME_ARGS=()
note "a piped replay: refused with its reason at once"

# An archive whose level file claims 2 GiB - 1 bytes and holds a few: refused by its size, little memory.
# The peak is measured by time(1) around the program (start_game puts the program's path last).
overstated_archive "$USER_DIR/aaa.pak" level.xml '<level/>' 2147483647
start_game /usr/bin/time -f %M -o "$WORK/peak_kb"
wait_for_exit 30
expect_status 1
expect_log_in_order "File level.xml is too large (over 64 MB)!" "Cannot read level file!"
peak=$(tail -1 "$WORK/peak_kb")
[ "$peak" -lt 400000 ] || fail "peak resident memory ${peak} kB"
note "level file claiming 2 GiB: refused, exit code 1, peak RSS ${peak} kB"
note "passed"
