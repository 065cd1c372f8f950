#!/bin/sh
# Installs what is missing, builds Tezmola and starts it.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DTEZMOLA_TESTS=OFF -DTEZMOLA_BENCHMARKS=OFF
cmake --build build -j"$(nproc)" --target tezmola
exec ./build/tezmola
