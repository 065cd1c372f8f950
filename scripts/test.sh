#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tezmola and runs every test: the unit tests in a normal build, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the end-to-end tests of the real program
# under a virtual X display.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs="$(nproc)"
export SDL_AUDIODRIVER=dummy

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
ctest --test-dir build -L unit --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTEZMOLA_SANITIZE=ON -DTEZMOLA_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
    ctest --test-dir build-sanitize -L unit --output-on-failure -j"$jobs"

ctest --test-dir build -L e2e --output-on-failure

# The same program on the original SDL 1.2 library, which apt installs for most players.
./scripts/test-original-sdl.sh build/tezmola
