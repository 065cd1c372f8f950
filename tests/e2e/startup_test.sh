#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# First run: the per-user folder and its log appear, the window opens, Escape ends the game with exit code
# 0 and the settings file holds every default in order.
source "$(dirname "$0")/lib.sh" "$@"

start_display
expect_no_file "$HOME/My Games"
start_game
wait_for_window
expect_file "$LOG_FILE"
wait_until 30 window_is 512x384 || fail "window is $(window_size), expected 512x384"
note "window 512x384"
# The play field is drawn, not just the cleared background.
wait_for_drawing

# Space launches the ball: the main loop carries the key to the game and keeps stepping and drawing.
send_keys space
before=$(capture_window moving_1.png)
picture_changes() {
    changed=$(changed_pixels "$before" "$(capture_window moving_2.png)")
    [ "$changed" -gt 0 ] 2>/dev/null
}
wait_until 15 picture_changes || fail "the picture did not change after launching the ball"
note "the ball moves ($changed pixels changed)"

send_keys Escape
wait_for_exit
expect_status 0

expect_log_in_order "Initialising SDL..." "Setting window name..." "Initialising Joysticks..." \
    "--- 0 joystick/s detected" "--- Video mode set to 512 by 384, Windowed Mode" \
    "Audio system initialised (frequency: 22050, format: 32784, num. channels: 2, chunk size: 1024"
expect_log_lacks "Cannot initialise"
expect_no_errors

expected="graphics/goalfps/value=0
graphics/window_size/width=512
graphics/window_size/height=384
graphics/video_mode/width=800
graphics/video_mode/height=600
graphics/bbp/value=0
graphics/fullscreen/value=0
audio/sound/active=1
audio/sound/volume=1.000000
audio/music/active=1
audio/music/volume=1.000000"
actual=$(settings_entries)
[ "$actual" = "$expected" ] || fail "settings.xml holds:
$actual"
head -1 "$SETTINGS_FILE" | grep -q '<?xml version="1.0"' || fail "settings.xml has no XML declaration"
note "settings.xml holds the eleven defaults in order"

# A second run reads them back instead of starting from defaults.
start_game
wait_for_window
send_keys Escape
wait_for_exit
expect_status 0
expect_log_lacks "does not exist, using default settings"
[ "$(settings_entries)" = "$expected" ] || fail "settings changed on the second run"

# A stored size that can make no usable window gives way to the default, with one warning, and the file
# is put right at exit.
sed -i 's/<window_size width="512" height="384"/<window_size width="0" height="0"/' "$SETTINGS_FILE"
[ "$(setting graphics/window_size/width)" = 0 ] || fail "cannot store a window size of 0 x 0"
start_game
wait_for_window
wait_until 30 window_is 512x384 || fail "a stored 0 x 0 opened $(window_size)"
send_keys Escape
wait_for_exit
expect_status 0
expect_log_in_order "---- Unusable window size 0 by 0 in the settings, using 512 by 384" \
    "--- Video mode set to 512 by 384, Windowed Mode"
[ "$(log_text | grep -c Unusable)" = 1 ] || fail "more than one warning about the stored size"
[ "$(settings_entries)" = "$expected" ] || fail "the stored 0 x 0 was not put right"
note "a stored 0 x 0 opens 512x384 and is put right"

# A second copy of the game writes a log of its own, and the first copy's log stays whole.
start_game
wait_for_window
first_pid=$GAME_PID
first_window=$WINDOW
start_game
wait_for_window
send_keys Escape
wait_for_exit
expect_status 0
rm -f "$WORK/game.status"
GAME_PID=$first_pid
WINDOW=$first_window
send_keys Escape
wait_for_exit
expect_status 0
for log in log.html log-2.html; do
    [ "$(grep -c -e "=== BEGIN LOG ===" -e "=== END LOG ===" "$USER_DIR/$log")" = 2 ] ||
        fail "$log does not hold one whole run"
done
grep -q "Another copy of the program writes log.html: this copy writes log-2.html" "$USER_DIR/log-2.html" ||
    fail "the second copy's log does not say why it has another name"
note "two copies at once: log.html and log-2.html"

# A per-user folder that cannot be written: the game plays, says once on standard error and on screen that
# nothing will be saved, and leaves the folder as it was. (Root writes through modes: a read-only mount.)
rm -f "$USER_DIR/log-2.html"
ls -l --time-style=full-iso "$USER_DIR" >"$WORK/folder_before"
writable=$TEZMOLA
if [ "$(id -u)" = 0 ]; then
    require_tools unshare mount
    cat >"$WORK/read_only.sh" <<EOF
#!/bin/sh
exec unshare -m --propagation private sh -c 'mount --bind "\$0" "\$0" && mount -o remount,bind,ro "\$0" "\$0" && exec "\$1"' "$USER_DIR" "$writable"
EOF
    chmod +x "$WORK/read_only.sh"
    TEZMOLA="$WORK/read_only.sh"
else
    chmod 555 "$USER_DIR"
fi
start_game
wait_for_window
wait_for_drawing
notice=$(capture_window read_only.png)
[ "$(pixels_of "$(field_region -0.6 0.648 0.6 0.625)" "$notice" yellow)" -gt 40 ] ||
    fail "no notice on screen that nothing will be saved"
send_keys space
send_keys Escape
wait_for_exit
expect_status 0
chmod 755 "$USER_DIR"
TEZMOLA=$writable
[ "$(grep -c "nothing will be saved" "$WORK/game.err")" = 1 ] ||
    fail "standard error does not say once that nothing will be saved: $(cat "$WORK/game.err")"
ls -l --time-style=full-iso "$USER_DIR" | cmp -s - "$WORK/folder_before" || fail "the read-only folder changed"
note "a read-only folder: the game plays and says nothing will be saved"
note "passed"
