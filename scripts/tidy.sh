#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs clang-tidy with the checks of .clang-tidy on the sources of the engine, the game and its programs
# (src/, their headers included), with the compile commands of a configured build. Any finding fails.
# A build that compiles its modules in batches has commands for the batches only: the commands file by
# file are then configured (not built) in BUILD/tidy-commands.
# Usage: scripts/tidy.sh [build-dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
command -v clang-tidy >/dev/null || {
    echo "tidy: clang-tidy is missing (scripts/install-deps.sh)" >&2
    exit 2
}
[ -f "$build/compile_commands.json" ] || {
    echo "tidy: $build/compile_commands.json not found; configure the build first" >&2
    exit 2
}
if ! grep -q '/src/game/game\.cpp"' "$build/compile_commands.json"; then
    commands="$build/tidy-commands"
    cmake -S . -B "$commands" -DTEZMOLA_UNITY=OFF -DTEZMOLA_BENCHMARKS=OFF >/dev/null
    build=$commands
fi
# The count of warnings suppressed in system headers that clang-tidy prints for each file is left out.
find src -name '*.cpp' | sort |
    xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet --header-filter="^$PWD/src/" --warnings-as-errors='*' \
        2>&1 | { grep -v '^[0-9]* warnings\? generated\.$' || true; }
