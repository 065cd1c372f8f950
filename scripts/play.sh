#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tezmola and starts it.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DTEZMOLA_TESTS=OFF -DTEZMOLA_BENCHMARKS=OFF
cmake --build build -j"$(nproc)" --target tezmola
exec ./build/tezmola
