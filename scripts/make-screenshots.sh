#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Captures the README's screenshots from the real game: levels 1, 10 and 30 (F12 skips ahead a level),
# each a moment after the launch. The game runs from a folder that holds only the program and its
# archive, as a player would have it, under a private virtual X display with Mesa's software OpenGL.
# Usage: scripts/make-screenshots.sh [build-dir]   (built beforehand; writes docs/screenshots/*.png)
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(cd "${1:-$source_dir/build}" && pwd)"
out_dir="$source_dir/docs/screenshots"
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "make-screenshots: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/game" "$work/home" "$out_dir"
cp "$build_dir/tezmola" "$build_dir/tezmola.pak" "$work/game/"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp +extension GLX 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"

cd "$work"
start_game() {
    HOME="$work/home" SDL_AUDIODRIVER=dummy "$work/game/tezmola" >"$work/game.out" 2>&1 &
    game_pid=$!
    window=""
    for _ in $(seq 300); do
        window="$(xdotool search --name '^Tezmola$' 2>/dev/null | head -1 || true)"
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "make-screenshots: no game window" >&2; cat "$work/game.out" >&2; exit 1; }
    sleep 2
}

# The first run opens the default window; resized, the game keeps the new size for the next run.
start_game
xdotool windowsize "$window" 800 600
sleep 2
xdotool key --window "$window" Escape
wait "$game_pid" || true
start_game

key() { xdotool key --window "$window" "$@"; sleep 0.3; }
shoot() {
    key space
    sleep "${2:-2}"
    import -window "$window" "$out_dir/$1"
    echo "make-screenshots: $out_dir/$1"
}

shoot level01.png
for _ in $(seq 9); do key F12; done
shoot level10.png
for _ in $(seq 20); do key F12; done
shoot level30.png
key Escape
