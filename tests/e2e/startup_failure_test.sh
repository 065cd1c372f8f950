#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-ups that cannot succeed end with exit code 1 and say why: in the log once it exists, on standard
# error before.
source "$(dirname "$0")/lib.sh" "$@"

# The graphics module's own error lines, then the engine's summary; audio is never reached.
expect_graphics_failure() {
    expect_log_in_order "Initialising SDL..." "Cannot initialise the graphics!"
    log_text | grep -q -x -F -e "Cannot initialise SDL video subsystem!" -e "Cannot assign video mode! Exiting..." ||
        fail "no graphics error line before the summary"
    log_text | grep -q "^SDL Error:" || fail "the SDL error text is not logged"
    expect_log_lacks "Audio system initialised"
}

# No display at all: no invisible stand-in, the start-up fails.
run_game -u DISPLAY
expect_status 1
expect_graphics_failure
note "no display: graphics error logged"

# An unknown video driver fails the same way.
rm -rf "$HOME/My Games"
run_game -u DISPLAY SDL_VIDEODRIVER=nonexistent
expect_status 1
expect_graphics_failure
note "unknown video driver: graphics error logged"

# A display but no usable sound device.
start_display
rm -rf "$HOME/My Games"
run_game SDL_AUDIODRIVER=nonexistent
expect_status 1
expect_log_in_order "--- Video mode set to 512 by 384, Windowed Mode" \
    "Cannot open audio system (frequency: 22050, format: 32784, num. channels: 2, chunk size: 1024" \
    "Cannot initialise the audio!"
note "no sound device: audio error logged"

# The per-user folder cannot be made: no log can exist, so the reason goes to standard error.
rm -rf "$HOME/My Games"
echo "not a folder" >"$HOME/My Games"
run_game
expect_status 1
[ "$(wc -l <"$WORK/game.err")" -ge 1 ] || fail "nothing on standard error"
grep -q "My Games" "$WORK/game.err" || fail "standard error does not name the folder: $(cat "$WORK/game.err")"
[ "$(cat "$HOME/My Games")" = "not a folder" ] || fail "the file in the way was changed"
note "unwritable per-user folder: reported on standard error"

# A file in the place of the game's own folder, or a HOME that is a file, fails the same way and stays
# byte for byte as it was.
rm -f "$HOME/My Games"
mkdir "$HOME/My Games"
head -c 3000 /dev/urandom >"$USER_DIR"
cp "$USER_DIR" "$WORK/in_the_way"
cp "$USER_DIR" "$WORK/home_file"
for home in "$HOME" "$WORK/home_file"; do
    run_game HOME="$home"
    expect_status 1
    grep -q -F "Cannot select or create the per-user directory $home/My Games/Tezmola" "$WORK/game.err" ||
        fail "standard error does not name the folder: $(cat "$WORK/game.err")"
done
cmp -s "$USER_DIR" "$WORK/in_the_way" || fail "the file in the folder's place was changed"
cmp -s "$WORK/home_file" "$WORK/in_the_way" || fail "the file given as HOME was changed"
note "a file in the folder's place, or as HOME, is left as it was"
note "passed"
