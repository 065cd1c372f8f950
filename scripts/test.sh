#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tezmola and runs every test: the unit tests in a normal build, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the end-to-end tests of the real programs
# (the game under a virtual X display). Both builds treat warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/step.sh
jobs="$(nproc)"
export SDL_AUDIODRIVER=dummy
sanitizers=(env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
            LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp")

configure() { cmake -S . -B "$@" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null; }
build_in() { configure "$@" && cmake --build "$1" -j"$jobs"; }
# The unit tests alone: the end-to-end tests run the normal build's programs.
unit_tests_in() { configure "$@" && cmake --build "$1" -j"$jobs" --target unit_tests; }

step install ./scripts/install-deps.sh
step build build_in build -DCMAKE_BUILD_TYPE=RelWithDebInfo
step unit ctest --test-dir build -L unit --output-on-failure -j"$jobs"
step "sanitizer build" unit_tests_in build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTEZMOLA_SANITIZE=ON \
    -DTEZMOLA_BENCHMARKS=OFF
step "sanitizer unit" "${sanitizers[@]}" ctest --test-dir build-sanitize -L unit --output-on-failure -j"$jobs"
# Each end-to-end test has its own display and folders, and mostly waits for the game: three at a time.
step e2e ctest --test-dir build -L e2e --output-on-failure -j3
