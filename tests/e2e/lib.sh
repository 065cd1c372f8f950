# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The one harness that starts our programs under X: the end-to-end tests, the package check and the
# screenshot maker all source it. Each test script is run as
#   bash <name>_test.sh <path-to-tezmola> <source-dir>
# sources this file, and drives the real program the way a player would: under its own virtual X display,
# with a fresh HOME, keys sent to its window, screenshots taken, files and exit codes checked. The program
# may be a launcher or a link to one; it is started by the path given.
# E2E_KEEP=1 keeps the temporary folder (logs, settings, screenshots) for a look afterwards.
# E2E_HOME=<folder> plays in that (empty) home folder instead of a fresh one and leaves it in place.
# E2E_SDL_LIBRARY=<path> makes every window check also prove that the game mapped that SDL 1.2 library.
# The waits poll commands that fail until they succeed, so the harness runs with set -u but without set -e.

set -u +e +o pipefail

if [ $# -lt 1 ] || [ ! -x "$1" ]; then
    echo "usage: bash $0 <path-to-tezmola> [source-dir]" >&2
    exit 2
fi
TEZMOLA="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
SOURCE_DIR=${2:-}
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TEST_NAME=$(basename "$0" .sh)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tezmola-$TEST_NAME.XXXXXX")
export HOME="${E2E_HOME:-$WORK/home}"
mkdir -p "$HOME"
HOME=$(cd "$HOME" && pwd)
unset XDG_CONFIG_HOME XDG_DOCUMENTS_DIR
export SDL_AUDIODRIVER=dummy
# The game picks its display as SDL does by default; only the private X display below is offered.
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
USER_DIR="$HOME/My Games/Tezmola"
LOG_FILE="$USER_DIR/log.html"
SETTINGS_FILE="$USER_DIR/settings.xml"

XVFB_PID=""
WINDOW_NAME='^Tezmola$'  # the caption that wait_for_window looks for
GAME_PID=""
GAME_STATUS=""
WINDOW=""

# Ends a game still running (SDL turns SIGTERM into a quit request; SIGKILL if that is not heard), and only
# then its display, so that no game is left behind without one.
stop_game() {
    game_running || return 0
    kill "$GAME_PID" 2>/dev/null
    local waited=0
    while game_running && [ $waited -lt 50 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    if game_running; then kill -9 "$GAME_PID" 2>/dev/null; fi
}

cleanup() {
    stop_game
    stop_display
    wait 2>/dev/null
    if [ "${E2E_KEEP:-0}" = 1 ]; then
        echo "kept: $WORK"
    else
        rm -rf "$WORK"
    fi
}
trap cleanup EXIT

note() { echo "$TEST_NAME: $*"; }

# Prints what helps to understand a failure, then ends the test.
fail() {
    echo "FAIL ($TEST_NAME): $*" >&2
    if [ -f "$LOG_FILE" ]; then
        echo "--- log.html (text) ---" >&2
        log_text | tail -40 >&2
    fi
    for stream in game.out game.err; do
        if [ -s "$WORK/$stream" ]; then
            echo "--- $stream ---" >&2
            tail -20 "$WORK/$stream" >&2
        fi
    done
    exit 1
}

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || fail "the tool '$tool' is missing (scripts/install-deps.sh)"
    done
}

# Starts a private X server with Mesa's software OpenGL and exports its DISPLAY. The number is drawn at
# random well above the usual ones, so that programs aimed at another test's display never land on ours.
# -noreset: a library that opens and closes a probing connection first would otherwise find the server
# resetting when it connects again.
start_display() {
    require_tools Xvfb xdotool
    local attempt number waited
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        number=$((RANDOM % 5000 + 1000))
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset +extension GLX >"$WORK/xvfb.log" 2>&1 &
        XVFB_PID=$!
        waited=0
        while kill -0 "$XVFB_PID" 2>/dev/null && [ ! -S "/tmp/.X11-unix/X$number" ] && [ $waited -lt 100 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        if kill -0 "$XVFB_PID" 2>/dev/null && [ -S "/tmp/.X11-unix/X$number" ]; then
            export DISPLAY=":$number"
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    fail "Xvfb did not start: $(tail -3 "$WORK/xvfb.log")"
}

stop_display() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# What start_game puts in the game's environment before the test's own settings (see fast_clock).
GAME_CLOCK=()

# Makes the games started from now on run their clock SPEED times as fast as the real one: SDL's clock,
# replaced by a library preloaded into the game (E2E_FAST_CLOCK, which ctest names), so that waiting for
# play takes a fraction of the time. The game is unchanged and still plays fixed 5 ms steps, at most 50 a
# frame, however fast its clock runs.
fast_clock() {
    [ -n "${E2E_FAST_CLOCK:-}" ] && [ -f "$E2E_FAST_CLOCK" ] ||
        fail "E2E_FAST_CLOCK names no library: run the test through ctest, which builds and names it"
    GAME_CLOCK=(LD_PRELOAD="$E2E_FAST_CLOCK" FAST_CLOCK="$1" FAST_CLOCK_FILE="$WORK/clock_speed")
    GAME_CLOCK_SPEED=$1
}
# The pace of the games' clock from now on, in the games running too (each game starts at fast_clock's).
# A GAME OVER board examined at a real second a second keeps clear of the demo that 20 s alone bring.
clock_speed() { echo "$1" >"$WORK/clock_speed"; }
GAME_CLOCK_SPEED=""

# The game's own command-line arguments for the games started from now on (a file for the editor).
GAME_ARGS=()

# Starts the game in the background. Arguments go to env(1) first: VAR=value to set, -u VAR to unset.
start_game() {
    rm -f "$WORK/game.pid" "$WORK/game.status"
    [ -z "$GAME_CLOCK_SPEED" ] || clock_speed "$GAME_CLOCK_SPEED"
    (
        cd "$WORK" || exit 1
        env "${GAME_CLOCK[@]}" "$@" "$TEZMOLA" ${GAME_ARGS[@]+"${GAME_ARGS[@]}"} >"$WORK/game.out" \
            2>"$WORK/game.err" &
        echo $! >"$WORK/game.pid"
        wait $!
        echo $? >"$WORK/game.status"
    ) &
    local waited=0
    while [ ! -s "$WORK/game.pid" ]; do
        [ $waited -ge 50 ] && fail "the game did not start"
        sleep 0.1
        waited=$((waited + 1))
    done
    GAME_PID=$(cat "$WORK/game.pid")
    GAME_STATUS=""
}

game_running() { [ -n "$GAME_PID" ] && [ ! -s "$WORK/game.status" ]; }

# Waits for the game's window to be shown and sets WINDOW to its id. (Some SDL libraries name a window
# early and replace it when the video mode is set; only the shown one counts.)
wait_for_window() {
    local timeout=${1:-30} waited=0
    while true; do
        WINDOW=$(xdotool search --all --onlyvisible --pid "$GAME_PID" --name "$WINDOW_NAME" 2>/dev/null |
            head -1)
        if [ -n "$WINDOW" ]; then
            expect_sdl_library
            return 0
        fi
        game_running || fail "the game ended ($(cat "$WORK/game.status")) before its window appeared"
        [ $waited -ge $((timeout * 10)) ] && fail "no window named $WINDOW_NAME after ${timeout}s"
        sleep 0.1
        waited=$((waited + 1))
    done
}

# With E2E_SDL_LIBRARY set, the running game must have mapped that very SDL 1.2 library.
expect_sdl_library() {
    [ -n "${E2E_SDL_LIBRARY:-}" ] || return 0
    local mapped
    mapped=$(grep -o '/[^ ]*/libSDL-1\.2\.so[^ ]*' "/proc/$GAME_PID/maps" | sort -u)
    [ "$mapped" = "$(readlink -f "$E2E_SDL_LIBRARY")" ] ||
        fail "the game mapped '$mapped', not $E2E_SDL_LIBRARY"
    note "SDL library: $mapped"
}

# Waits for the game to end and sets GAME_STATUS to its exit code.
wait_for_exit() {
    local timeout=${1:-30} waited=0
    while game_running; do
        if [ $waited -ge $((timeout * 10)) ]; then
            kill "$GAME_PID" 2>/dev/null
            fail "the game was still running after ${timeout}s"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    GAME_STATUS=$(cat "$WORK/game.status")
}

# Runs the game to its end (for start-ups that are meant to fail) and sets GAME_STATUS.
run_game() {
    start_game "$@"
    wait_for_exit "${RUN_TIMEOUT:-30}"
}

expect_status() {
    [ "$GAME_STATUS" = "$1" ] || fail "exit code $GAME_STATUS, expected $1"
    note "exit code $1"
}

# Waits until a shell command succeeds (polling every 0.2 s); false after the timeout in seconds.
wait_until() {
    local timeout=$1 waited=0
    shift
    until "$@"; do
        [ $waited -ge $((timeout * 5)) ] && return 1
        sleep 0.2
        waited=$((waited + 1))
    done
}

# xdotool sends each key's release after its press; a key that ends the game (Escape) can close the window
# in between, so a failure after which the game is ending counts as delivered: the caller checks the exit.
send_keys() {
    xdotool key --window "$WINDOW" "$@" 2>/dev/null && return 0
    local waited=0
    while game_running && [ $waited -lt 50 ]; do
        xdotool getwindowname "$WINDOW" >/dev/null 2>&1 && break
        sleep 0.1
        waited=$((waited + 1))
    done
    game_running || return 0
    xdotool key --window "$WINDOW" "$@" || fail "cannot send keys $*"
}

# Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
request_close() {
    require_tools python3
    python3 "$E2E_DIR/send_close_request.py" "$WINDOW" || fail "cannot send the close request"
}

resize_window() { xdotool windowsize "$WINDOW" "$1" "$2" || fail "cannot resize the window"; }

# Prints the window's client size as WIDTHxHEIGHT.
window_size() {
    xdotool getwindowgeometry --shell "$WINDOW" 2>/dev/null |
        awk -F= '$1 == "WIDTH" { w = $2 } $1 == "HEIGHT" { h = $2 } END { print w "x" h }'
}

# True when the window's client size is WIDTHxHEIGHT (for wait_until).
window_is() { [ "$(window_size)" = "$1" ]; }

# Screenshot of the whole virtual screen into the work folder; prints the path.
capture() {
    local file="$WORK/$1"
    import -window root "$file" 2>/dev/null || fail "cannot take the screenshot $1"
    echo "$file"
}

# Screenshot of the game's window alone; prints the path.
capture_window() {
    local file="$WORK/$1"
    import -window "$WINDOW" "$file" 2>/dev/null || fail "cannot take the screenshot $1"
    echo "$file"
}

# Number of distinct colours in a picture.
colour_count() { convert "$1" -format %k info:; }

# Pixels that differ between two pictures.
changed_pixels() {
    local count
    count=$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)
    echo "${count%%.*}"
}

# Pixels that differ between two pictures within a region given as WxH+X+Y.
changed_in() {
    convert "$2" -crop "$1" +repage "$WORK/crop_a.png"
    convert "$3" -crop "$1" +repage "$WORK/crop_b.png"
    changed_pixels "$WORK/crop_a.png" "$WORK/crop_b.png"
}

# Pixels of a colour (within 20%) in a region WxH+X+Y of a picture: pixels_of REGION PICTURE COLOUR.
pixels_of() {
    convert "$2" -crop "$1" +repage -fuzz 20% -fill black +opaque "$3" -fill white -opaque "$3" \
        -format "%[fx:int(mean*w*h+0.5)]" info:
}

# Colour of one pixel as "r g b" in 0..255: pixel_colour PICTURE X Y.
pixel_colour() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
        sed -n 's/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | head -1
}

# The pixel of the window that holds a play-field point, as "X Y". The field always fills the window: x
# runs from -1 at its left edge to 1 at its right edge, y from 0.75 at its top to -0.75 at its bottom.
field_pixel() {
    awk -v x="$1" -v y="$2" -v size="$(window_size)" 'BEGIN {
        split(size, s, "x")
        printf "%d %d\n", (x + 1) / 2 * s[1], (0.75 - y) / 1.5 * s[2]
    }'
}

# The window's region between two play-field corners, field_region LEFT TOP RIGHT BOTTOM, as WxH+X+Y.
field_region() {
    local left top right bottom
    read -r left top <<<"$(field_pixel "$1" "$2")"
    read -r right bottom <<<"$(field_pixel "$3" "$4")"
    echo "$((right - left))x$((bottom - top))+$left+$top"
}

# expect_colour SHOT WHAT X Y "R G B": the play-field point shows that colour (each channel within 40).
expect_colour() {
    local shot=$1 what=$2 point colour
    point=$(field_pixel "$3" "$4")
    # shellcheck disable=SC2086
    colour=$(pixel_colour "$shot" $point)
    awk -v got="$colour" -v want="$5" 'BEGIN {
        split(got, g, " "); split(want, w, " ")
        for (i = 1; i <= 3; ++i) if (g[i] == "" || g[i] - w[i] > 40 || w[i] - g[i] > 40) exit 1
    }' || fail "$what at ($3, $4), pixel $point: colour ($colour), expected ($5) in $(basename "$shot")"
}

# Waits until the main loop draws the play field: textures are loaded on the first draw, and then two
# screenshots in a row show more than the cleared background. (Before its first frame a new OpenGL window
# may show any leftover picture, so colours alone prove nothing.) Leaves the last shot in DRAWN_SHOT.
wait_for_drawing() {
    local timeout=${1:-60} colours=0 waited=0 rich=0
    while true; do
        game_running || fail "the game ended ($(cat "$WORK/game.status")) before drawing its field"
        if grep -q "Loading image texture for \[" "$LOG_FILE" 2>/dev/null; then
            DRAWN_SHOT=$(capture_window drawn.png)
            colours=$(colour_count "$DRAWN_SHOT")
            if [ "$colours" -gt 16 ]; then rich=$((rich + 1)); else rich=0; fi
            [ $rich -ge 2 ] && return 0
        fi
        [ $waited -ge $((timeout * 2)) ] && fail "no play field drawn after ${timeout}s ($colours colours)"
        sleep 0.5
        waited=$((waited + 1))
    done
}

# The log as plain text: one message per line, without the markup and the time stamps. An argument keeps
# the messages of that level alone (1 errors, 2 warnings, 3 information).
log_text() {
    grep -o "<span class=\"L${1:-[0-9]}\">.*</span>" "$LOG_FILE" |
        sed -e 's/<[^>]*>//g' -e 's/&lt;/</g' -e 's/&gt;/>/g' -e 's/&quot;/"/g' -e 's/&amp;/\&/g'
}

expect_file() { [ -f "$1" ] || fail "missing file: $1"; }
expect_no_file() { [ ! -e "$1" ] || fail "unexpected file: $1"; }

# Each argument is a whole log message; they must appear in this order (other lines may come between).
expect_log_in_order() {
    expect_file "$LOG_FILE"
    local text
    text=$(log_text)
    local line rest="$text"
    for line in "$@"; do
        local found
        found=$(printf '%s\n' "$rest" | grep -n -x -F -m1 -- "$line" | cut -d: -f1)
        [ -n "$found" ] || fail "log lacks (in order): $line"
        rest=$(printf '%s\n' "$rest" | tail -n +$((found + 1)))
    done
}

expect_log_lacks() {
    if log_text | grep -q -F -- "$1"; then fail "log unexpectedly holds: $1"; fi
}

# The log holds no error: a missing data file, for example, would be logged while play goes on.
expect_no_errors() {
    expect_file "$LOG_FILE"
    local errors
    errors=$(log_text 1)
    [ -z "$errors" ] || fail "the log reports errors: $(echo "$errors" | tr '\n' ' ')"
}

# settings.xml as "section/key/attribute=value" lines in file order.
settings_entries() {
    expect_file "$SETTINGS_FILE"
    awk '
        /^[ \t]*<\?/ { next }
        /^<[A-Za-z_]+>/ { section = $0; gsub(/[<> \t\r]/, "", section); next }
        /^[ \t]+<[A-Za-z_]+ / {
            line = $0
            sub(/^[ \t]+</, "", line)
            key = line; sub(/ .*/, "", key)
            rest = line; sub(/^[^ ]+ /, "", rest)
            while (match(rest, /[A-Za-z_]+="[^"]*"/)) {
                pair = substr(rest, RSTART, RLENGTH)
                name = pair; sub(/=.*/, "", name)
                value = pair; sub(/^[^"]*"/, "", value); sub(/"$/, "", value)
                print section "/" key "/" name "=" value
                rest = substr(rest, RSTART + RLENGTH)
            }
        }' "$SETTINGS_FILE"
}

setting() { settings_entries | grep -F "$1=" | head -1 | cut -d= -f2-; }

# Share of one core that the game used over the given seconds (user and system time from /proc), as a
# whole percentage.
cpu_percent() {
    local seconds=$1 ticks before after
    ticks=$(getconf CLK_TCK)
    before=$(process_ticks) || fail "cannot read /proc/$GAME_PID/stat"
    sleep "$seconds"
    after=$(process_ticks) || fail "cannot read /proc/$GAME_PID/stat"
    echo $(((after - before) * 100 / (ticks * seconds)))
}

# User plus system clock ticks of the game so far (fields 14 and 15, counted after the command name).
process_ticks() {
    local stat
    stat=$(cat "/proc/$GAME_PID/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    echo "$stat" | awk '{ print $12 + $13 }'
}

# The X server's answer for the cursor where the pointer is: "shown" or "hidden".
cursor_state() {
    require_tools python3
    python3 "$E2E_DIR/cursor_shown.py" || fail "cannot read the cursor"
}
