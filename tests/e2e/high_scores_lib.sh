# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the high-score tests share: the harness, the table's rows on screen and the ways to lose every ball.
# Sourced by each high-score test with its own arguments.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh" "$@"

require_tools import convert
HIGH_SCORES="$USER_DIR/highscores.xml"
# The games run ten times as fast as the real clock: a second of the test below is ten of play.
fast_clock 10

# A row of the table (rank 1 to 10, the heading 0 above them): 0.04 play-field units high around its middle,
# which lies 0.05 units below the row before, the heading's at y -0.09. row_band RANK LEFT RIGHT.
row_band() {
    local top bottom
    read -r top bottom <<<"$(awk -v r="$1" 'BEGIN { y = -0.09 - 0.05 * r; print y + 0.02, y - 0.02 }')"
    field_region "$2" "$top" "$3" "$bottom"
}
row_region() { row_band "$1" -0.88 0.76; }
# Right of a row, where "NOT SAVED" stands beside a new entry that could not be written.
beside_row() { row_band "$1" 0.645 0.93; }

hold_key() {
    xdotool keydown --window "$WINDOW" "$1" && sleep "$2" && xdotool keyup --window "$WINDOW" "$1"
}

# True once the condition holds, looked at again and again for MILLISECONDS: the game is over. Its clock then
# runs at the real pace, and a key that does nothing on the board ends a demo that a slow look let come (20 s
# of that clock alone bring it): the board is examined long before the next one. over_within MILLISECONDS
# CONDITION...
over_within() {
    local deadline=$(($(date +%s%3N) + $1))
    shift
    while true; do
        sleep 0.1
        "$@" && clock_speed 1 && send_keys Shift_L && return 0
        [ "$(date +%s%3N)" -lt "$deadline" ] || return 1
    done
}

# Serves from the left edge, takes the paddle to the right edge, and repeats until the condition holds.
# A round is some ten seconds of play, time for the ball to come down past the paddle.
lose_every_ball() {
    local round
    clock_speed 10
    for round in $(seq 1 40); do
        hold_key Left 0.2 || fail "cannot hold a key"
        send_keys space
        sleep 0.05
        hold_key Right 0.2 || fail "cannot hold a key"
        over_within 600 "$@" && return 0
    done
    over_within 5000 "$@" && return 0
    fail "no game over after $round rounds"
}

# The player's level of steel: a ball served at the right edge goes straight up an empty column and back.
write_steel_level() {
    mkdir -p "$USER_DIR"
    {
        echo '<level><tezm>'
        echo '+. -- -- -- -- -- -- -- -- -- -- -- -- -- -- +.'
        echo 'I. R9 SS SS .. .. .. .. .. .. .. .. .. .. .. I.'
        echo 'I. SS SS SS .. .. .. .. .. .. .. .. .. .. .. I.'
        echo 'I. SS SS SS .. .. .. .. .. .. .. .. .. .. .. I.'
        echo '</tezm><background sprite="bg_bricks" red="0.35" green="0.45" blue="0.75"/></level>'
    } >"$USER_DIR/level.xml"
}

# On the level of write_steel_level, a ball served goes straight up an empty column and straight back:
# serving at the right edge and keeping the paddle at the left loses it for certain. Repeats until the
# condition holds.
lose_on_steel() {
    local round over
    clock_speed 10
    for round in $(seq 1 20); do
        hold_key Right 0.4 || fail "cannot hold a key"
        send_keys space
        xdotool keydown --window "$WINDOW" Left || fail "cannot hold a key"
        over_within 1000 "$@"
        over=$?
        xdotool keyup --window "$WINDOW" Left
        [ "$over" = 0 ] && return 0
    done
    fail "no game over after $round rounds"
}

table_changed() { ! cmp -s "$HIGH_SCORES" "$WORK/seeded.xml"; }
# The heading's three words each in its place: a grey ball crossing the heading's row is never all three.
heading_shown() {
    local picture band
    picture=$(capture_window heading.png)
    for band in "-0.52 -0.3" "0.2 0.42" "0.44 0.64"; do
        # shellcheck disable=SC2086 # the band's two edges
        [ "$(pixels_of "$(row_band 0 $band)" "$picture" '#BFBFBF')" -gt 60 ] || return 1
    done
}
