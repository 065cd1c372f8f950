#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Damaged pictures, sounds and levels in the player's folder, under the real program: a 69-byte PNG that
# declares 16384 x 16384 pixels, a picture of random bytes, WAVs that declare 4 GB of samples, a PNG whose
# name hides the sprite sheet, and a level file whose levels have no map. The game stays small and answers
# Escape at once, each refused file is named with the reason, and the log stays short and whole.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"

require_tools python3
mkdir -p "$USER_DIR"

python3 - "$USER_DIR" <<'PYTHON' || fail "cannot write the damaged files"
import os, struct, sys, zlib

folder = sys.argv[1]

def write(name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

# The header promises 16384 x 16384 RGB pixels; the picture data ends after a few bytes.
header = struct.pack(">IIBBBBB", 16384, 16384, 8, 2, 0, 0, 0)
write("backgrounds.png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
      chunk(b"IDAT", zlib.compress(b"\0" * 64)[:17]) + chunk(b"IEND", b""))
write("font.png", os.urandom(4096))
# sprites-old.png sorts before sprites.png, so the shipped sprites.svg and sprites.png no longer pair up.
write("sprites-old.png", b"\x89PNG\r\n\x1a\n")

# 236 bytes whose data chunk declares 4294967280 bytes.
fmt = struct.pack("<HHIIHH", 1, 1, 22050, 22050, 1, 8)
body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + b"data" + struct.pack("<I", 0xFFFFFFF0) + b"\x80" * 192
for beep in range(1, 6):
    write("beep%d.wav" % beep, b"RIFF" + struct.pack("<I", len(body)) + body)
PYTHON

peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$GAME_PID/status" 2>/dev/null; }
count_lines() { log_text | grep -c -x -F -- "$1"; }

# Escape is answered within a second; the exit code and the whole log are checked.
quit_at_once() {
    local started elapsed
    started=$(date +%s%N)
    send_keys Escape
    wait_for_exit 10
    elapsed=$((($(date +%s%N) - started) / 1000000))
    [ "$elapsed" -le 1000 ] || fail "Escape took ${elapsed} ms to end the game"
    expect_status 0
    [ "$(tail -c 14 "$LOG_FILE")" = "</body></html>" ] || fail "the log does not end with its tail"
    note "Escape answered in ${elapsed} ms"
}

expect_small_log() {
    local size
    size=$(stat -c %s "$LOG_FILE")
    [ "$size" -le "$1" ] || fail "log.html holds $size bytes, more than $1"
    note "log.html: $size bytes"
}

start_display
note "damaged pictures and sounds"
start_game
wait_for_window
for round in 1 2 3 4 5 6; do
    send_keys space Left Left Right
    sleep 0.5
done
# A mode change reloads the textures: each failed picture is tried once more.
resize_window 640 480
wait_until 10 window_is 640x480 || fail "window is $(window_size) after the resize, expected 640x480"
sleep 2
peak=$(peak_kb)
[ -n "$peak" ] && [ "$peak" -lt 409600 ] || fail "peak memory ${peak} kB, more than 400 MB"
note "peak memory ${peak} kB"
quit_at_once
expect_small_log 65536

[ "$(count_lines "Loading image texture for [backgrounds.png]...")" = 2 ] ||
    fail "backgrounds.png was not tried exactly once at start-up and once after the mode change"
expect_log_in_order "Error loading in PNG file [backgrounds.png] to OpenGL texture!" \
    "---- [backgrounds.png] is damaged: its picture data is too short for the 16384 x 16384 pixels it declares"
expect_log_in_order "Error loading in PNG file [font.png] to OpenGL texture!" "---- [font.png] is not a PNG file"
[ "$(count_lines "---- Sprite sheet [sprites.svg] with [sprites.png] not loaded: hidden by [sprites-old.png]")" = 1 ] ||
    fail "the hidden sprite sheet is not named exactly once"
refused="Cannot load in WAV file beep1.wav (its data chunk declares 4294967280 bytes but 192 follow)!"
copies=$(count_lines "$refused")
[ "$copies" -ge 1 ] && [ "$copies" -le 20 ] || fail "$copies lines refusing beep1.wav, expected 1 to 20"
note "each refusal named with its reason"

note "a level file whose levels have no map"
rm -f "$USER_DIR"/*.png "$USER_DIR"/*.wav
printf '<?xml version="1.0"?>\n<level/>\n<level><background sprite="tile_pyramid" red="1" green="1" blue="1"/></level>\n' \
    >"$USER_DIR/level.xml"
start_game
wait_for_window
sleep 3
quit_at_once
expect_small_log 65536
[ "$(log_text | grep -c -x "Level [0-9]* is malformed")" = 20 ] || fail "not exactly 20 lines for the maps"
expect_log_in_order "Level 20 is malformed" \
    "---- Further copies of this message are not written: Level 21 is malformed" \
    "Saving settings to file: settings.xml"
log_text | tail -2 | head -1 |
    grep -q -x -- "---- [0-9]* further copies of this message were not written: Level 21 is malformed" ||
    fail "the count of the lines not written is not the log's last message"
note "passed"
