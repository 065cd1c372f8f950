#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/ and
# runs them, each from its seed corpus in fuzz/corpus/<target>/.
#
#     scripts/fuzz.sh [TARGET|all] [SECONDS] [libFuzzer options...]
#
# TARGET is one of level, settings, svg, png, wav, pak, or all (the default); SECONDS is the time per
# target (default 600). FUZZ_JOBS=2 runs two targets at once. New inputs collect in
# build-fuzz/corpus/<target>/ (kept between runs), findings in build-fuzz/findings/, each run's output in
# build-fuzz/logs/<target>.log. The exit status is 1 when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing (scripts/install-deps.sh)" >&2; exit 2; }

all_targets=(level settings svg png wav pak lbreakout_set editor_set replay)
xml_targets=" level settings svg editor_set "
target="${1:-all}"
seconds="${2:-600}"
shift $(($# > 2 ? 2 : $#))
if [ "$target" = all ]; then
    targets=("${all_targets[@]}")
elif [[ " ${all_targets[*]} " == *" $target "* ]]; then
    targets=("$target")
else
    echo "unknown target '$target'; one of: ${all_targets[*]} all" >&2
    exit 2
fi
jobs="${FUZZ_JOBS:-1}"
build=build-fuzz

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DTEZMOLA_FUZZ=ON -DTEZMOLA_TESTS=OFF -DTEZMOLA_BENCHMARKS=OFF \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
        "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target fuzzers -j"$(nproc)"
mkdir -p "$build/findings" "$build/logs"

# Runs one target; its output goes to its log. Limits: 2 GiB of memory, 10 s for one input.
run() {
    local name="$1"
    shift
    local options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
                   -artifact_prefix="$build/findings/$name-")
    if [[ "$xml_targets" == *" $name "* ]]; then
        options+=(-dict=fuzz/xml.dict)
    fi
    mkdir -p "$build/corpus/$name"
    "$build/fuzz/${name}_fuzzer" "${options[@]}" "$@" "$build/corpus/$name" "fuzz/corpus/$name" \
        >"$build/logs/$name.log" 2>&1
}

report() {
    local name="$1" status="$2"
    local executions
    executions=$(grep -a 'stat::number_of_executed_units' "$build/logs/$name.log" | awk '{print $2}' || true)
    if [ "$status" = 0 ]; then
        echo "$name: ${executions:-?} executions in ${seconds} s, no finding"
    else
        echo "$name: FINDING after ${executions:-?} executions (exit status $status):"
        grep -a -E 'ERROR|SUMMARY|broken property|Test unit written' "$build/logs/$name.log" | head -n 8 |
            sed 's/^/    /'
        echo "    full output: $build/logs/$name.log"
    fi
}

failed=0
declare -A running=()  # process id -> target
# Waits for one running target and reports it.
reap() {
    local status=0 finished
    wait -n -p finished "${!running[@]}" || status=$?
    report "${running[$finished]}" "$status"
    [ "$status" = 0 ] || failed=1
    unset "running[$finished]"
}
for name in "${targets[@]}"; do
    while [ "${#running[@]}" -ge "$jobs" ]; do
        reap
    done
    run "$name" "$@" &
    running[$!]=$name
done
while [ "${#running[@]}" -gt 0 ]; do
    reap
done
exit "$failed"
