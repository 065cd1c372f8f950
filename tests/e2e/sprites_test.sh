#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sprite sheets drawn for real: the drawing program beside the game (tezmola_draw_sheet) shows sprites of
# test sheets written here into the per-user folder at known play-field positions. Each colour must sit
# where the coordinates put it, tints and depths must hold, a faint sprite must vanish, and broken sheets
# (a drawing that is not XML, a zero-sized canvas, a truncated PNG, a JPEG named .png, a drawing without
# its PNG, a PNG taken away at run time) are logged while the good sheets still draw.
DRAW_SHEET="$(dirname "${1:-.}")/tezmola_draw_sheet"
if [ ! -x "$DRAW_SHEET" ]; then
    echo "FAIL (sprites_test): $DRAW_SHEET is not built (cmake --build <build> --target tezmola_draw_sheet)" >&2
    exit 1
fi
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh" "$DRAW_SHEET" "${2:-}"

require_tools python3 convert import

# A copy of its own, so that no archive or loose sheet beside the build's program joins the search path
# and the sprite ids are those of the test sheets alone.
mkdir -p "$WORK/bin" "$USER_DIR"
cp "$TEZMOLA" "$WORK/bin/" || fail "cannot copy the drawing program"
TEZMOLA="$WORK/bin/$(basename "$TEZMOLA")"

# Sheets: 160-unit squares, so every sprite is 0.4 x 0.4 play-field units. The main sheet's PNG is drawn at
# half the canvas resolution (400 x 80, not a power of two) to exercise the resampling.
python3 - "$USER_DIR" <<'PYTHON' || fail "cannot write the test sheets"
import struct, sys, zlib

folder = sys.argv[1]

def png(width, height, pixel):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))

def svg(width, height, rects):
    body = "".join('    <rect id="%s" x="%d" y="%d" width="160" height="160"/>\n' % r for r in rects)
    return ('<?xml version="1.0"?>\n<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s">\n'
            '  <g>\n%s  </g>\n</svg>\n' % (width, height, body))

def write(name, data):
    with open(folder + "/" + name, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())

def sheet_pixel(x, y):
    square = x // 80
    if square == 0: return (255, 0, 0, 255)
    if square == 1: return (0, 255, 0, 255)
    if square == 2: return (255, 255, 255, 255)
    if square == 3: return (255, 255, 255, 0)
    return (255, 0, 255, 255) if y < 40 else (0, 255, 255, 255)

sheet = png(400, 80, sheet_pixel)
write("e2e_sheet.png", sheet)
write("e2e_sheet.svg", svg(800, 160, [("e2e_red", 0, 0), ("e2e_green", 160, 0), ("e2e_white", 320, 0),
                                      ("e2e_clear", 480, 0), ("e2e_split", 640, 0)]))
write("e2e_orange.png", png(64, 64, lambda x, y: (255, 128, 0, 255)))
write("e2e_orange.svg", svg(160, 160, [("e2e_orange", 0, 0)]))

write("e2e_bad_truncated.png", sheet[: len(sheet) - 24])
write("e2e_bad_truncated.svg", svg(160, 160, [("e2e_truncated", 0, 0)]))
write("e2e_bad_jpeg.svg", svg(160, 160, [("e2e_jpeg", 0, 0)]))
write("e2e_bad_text.png", sheet)
write("e2e_bad_text.svg", "This drawing is <svg> only in name & not XML\n")
write("e2e_bad_size.png", sheet)
write("e2e_bad_size.svg", svg(0, 160, [("e2e_zero", 0, 0)]))
write("e2e_unpaired.svg", svg(160, 160, [("e2e_unpaired", 0, 0)]))
PYTHON
convert -size 32x32 xc:orange "jpeg:$USER_DIR/e2e_bad_jpeg.png" || fail "cannot write the JPEG"

BACKGROUND="0 0 128"

# The good sheets, wherever the window is and however large.
expect_sheets_drawn() {
    local shot=$1
    expect_colour "$shot" "red sprite" -0.7 0.45 "255 0 0"
    expect_colour "$shot" "white sprite tinted yellow" -0.2 0.45 "255 255 0"
    expect_colour "$shot" "sprite of alpha 0.25" 0.3 0.45 "$BACKGROUND"
    expect_colour "$shot" "top half of the split sprite" 0.75 0.55 "255 0 255"
    expect_colour "$shot" "bottom half of the split sprite" 0.75 0.35 "0 255 255"
    expect_colour "$shot" "red sprite at depth 1" -0.7 -0.35 "255 0 0"
    expect_colour "$shot" "green sprite at depth 0.5 over the red one" -0.47 -0.35 "0 255 0"
    expect_colour "$shot" "green sprite" -0.25 -0.35 "0 255 0"
    expect_colour "$shot" "fully transparent sprite" 0.1 -0.35 "$BACKGROUND"
    expect_colour "$shot" "background" 0 -0.65 "$BACKGROUND"
    expect_colour "$shot" "background" -0.95 0.7 "$BACKGROUND"
    expect_colour "$shot" "sprite of the JPEG sheet" -0.5 0.05 "$BACKGROUND"
    expect_colour "$shot" "sprite of the truncated PNG" 0 0.05 "$BACKGROUND"
    expect_colour "$shot" "sprite of the drawing without PNG" 0.5 0.05 "$BACKGROUND"
}

# Screenshot of the window once the main sheet's texture has been made for the COUNT-th time (the first
# draw, then each reload) and a few frames have been drawn with it.
shot_after_sheet_load() {
    local count=$2
    wait_until 30 sheet_loaded "$count" || fail "the sheet's texture was not made $count times"
    sleep 0.5
    capture_window "$1"
}
sheet_loads() { log_text | grep -c -x -F "Loading image texture for [e2e_sheet.png]..."; }
sheet_loaded() { [ "$(sheet_loads)" -ge "$1" ]; }

start_display
# Only a window on the virtual display will do; SDL would otherwise fall back to drawing off screen.
start_game SDL_VIDEODRIVER=x11
wait_for_window
wait_until 10 window_is 512x384 || fail "window is $(window_size), expected 512x384"
shot=$(shot_after_sheet_load sheets.png 1) || exit 1
expect_sheets_drawn "$shot"
expect_colour "$shot" "orange sprite" 0.6 -0.35 "255 128 0"
note "every sprite is where its play-field coordinates put it"

expect_log_in_order "--- Video mode set to 512 by 384, Windowed Mode" \
    "SVG file [e2e_bad_size.svg] badly formed: no width or height" "---- No SVG file: [e2e_bad_text.svg]" \
    "---- Loading SVG: [e2e_sheet.svg]" \
    "Loading image texture for [e2e_bad_jpeg.png]..." \
    "Error loading in PNG file [e2e_bad_jpeg.png] to OpenGL texture!" \
    "Cannot draw sprite of type 1!" "(ignoring all further errors of this type)" \
    "Loading image texture for [e2e_bad_truncated.png]..." \
    "Error loading in PNG file [e2e_bad_truncated.png] to OpenGL texture!"
expect_log_in_order "draw_sheet: video driver x11"
[ "$(log_text | grep -c -F "Cannot draw sprite of type")" = 1 ] || fail "the draw error is reported more than once"
[ "$(sheet_loads)" = 1 ] || fail "the good sheet's texture was loaded more than once"
expect_log_lacks "e2e_unpaired"
expect_log_lacks "Error opening"
grep -q -x "no sprite named e2e_unpaired" "$WORK/game.err" || fail "a drawing without its PNG gave sprites"
note "broken sheets are logged once each attempt, the draw error once"

# A PNG that vanishes: the reload after re-activation fails on it, the sheets after it load again when next
# drawn, and its sprite is no longer drawn.
rm "$USER_DIR/e2e_orange.png"
send_keys r
wait_until 10 grep -q -F "Cannot reload sprites!" "$LOG_FILE" || fail "no failed reload after the PNG vanished"
shot=$(shot_after_sheet_load reloaded.png 2) || exit 1
expect_sheets_drawn "$shot"
expect_colour "$shot" "sprite whose PNG vanished" 0.6 -0.35 "$BACKGROUND"
expect_log_in_order "draw_sheet: reloading textures" "Unloading image texture for [e2e_orange.png]..." \
    "Unloading image texture for [e2e_sheet.png]..." "Loading image texture for [e2e_orange.png]..." \
    "Cannot reload sprites!" "Loading image texture for [e2e_sheet.png]..."
log_text | grep -q "^Error opening \[e2e_orange\.png\], [a-z]" || fail "no error line for the vanished PNG"
note "a vanished PNG leaves only its own sprite undrawn"

# After a resize the field fills the new window and every texture is made again.
resize_window 700 600
wait_until 10 window_is 700x525 || fail "window is $(window_size) after the resize, expected 700x525"
shot=$(shot_after_sheet_load resized.png 3) || exit 1
expect_sheets_drawn "$shot"
note "the play field fills the 700x525 window"

send_keys Escape
wait_for_exit
expect_status 0
[ "$(log_text | grep -c -F "Cannot draw sprite of type")" = 1 ] || fail "the draw error was reported again"
note "passed"
