#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The mutation check: plants each mutant of tests/mutants/list.txt alone in a scratch copy of the sources
# (build-mutants/source, never the work tree), rebuilds it incrementally, runs the unit tests that link
# the mutated module and says whether they caught the fault. Every mutant must be killed; one marked
# equivalent cannot change behaviour and is not counted.
#
# Usage: scripts/mutants.sh [--share K/N | --share day/N] [NUMBER...]
#   NUMBER      only these mutants (their place in the list, from 1)
#   --share K/N the mutants whose number leaves K - 1 divided by N; day/N takes K from today's date, so
#               N days of runs go through the whole list
# Exit status: 0 when every mutant counted was killed, 1 when one survived, 2 for an error of the list
# (a text not found once in its file, a mutant that does not compile) or tests that fail without any
# mutant. MUTANTS_DIR moves the scratch folder; MUTANTS_JOBS sets the build's parallel jobs.
#
# Generated mutants (scripts/mutants.py, which shares the scratch folder; --help there says more):
#   scripts/mutants.sh --generate [--files F...] [--sample N [--seed S]] [--list] [--report]
#   scripts/mutants.sh --changed [BASE] [--time-limit SECONDS] [--min-killed PERCENT]
# --changed plants the mutants on the lines changed since BASE (by default the commit named in
# tests/mutants/ci-passed, else origin/main; a line the same diff only moves is not changed) and exits
# with 1 when one survives that tests/mutants/equivalent.txt does not record, or with --min-killed when
# fewer than PERCENT of them are killed; --report never fails on a survivor.
set -euo pipefail
export LC_ALL=C
# The generated mutants are planted by scripts/mutants.py.
for argument in "$@"; do
    case $argument in
        --generate | --files | --changed | --sample | --list | --match) exec python3 "$(dirname "$0")/mutants.py" "$@" ;;
    esac
done
shopt -u patsub_replacement 2>/dev/null || true  # "&" in a replacement stays "&"
root=$(cd "$(dirname "$0")/.." && pwd)
list=tests/mutants/list.txt
scratch=${MUTANTS_DIR:-$root/build-mutants}
source=$scratch/source
build=$scratch/build
jobs=${MUTANTS_JOBS:-$(nproc)}
test_seconds=120 # a mutant that makes a test hang is killed by this limit
started=$SECONDS

die() {
    echo "mutants: $*" >&2
    exit 2
}

# The list: blocks of "key: value" lines separated by blank lines; "#" starts a comment line.
files=() finds=() intos=() faults=() equivalents=() places=()
parse_list() {
    local number=0 line key value block_line=0 file="" find="" into="" fault="" equivalent="" has_into=0
    finish() {
        [ "$block_line" = 0 ] && return 0
        [ -n "$file" ] && [ -n "$find" ] && [ "$has_into" = 1 ] && [ -n "$fault" ] ||
            die "$list:$block_line: a mutant needs file, find, into and fault"
        [ "$find" != "$into" ] || die "$list:$block_line: the replacement is the text itself"
        files+=("$file") finds+=("$find") intos+=("$into") faults+=("$fault")
        equivalents+=("$equivalent") places+=("$block_line")
        block_line=0 file="" find="" into="" fault="" equivalent="" has_into=0
    }
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        case $line in
            '#'*) continue ;;
            '') finish; continue ;;
        esac
        [ "$block_line" = 0 ] && block_line=$number
        key=${line%%:*}
        [ "$key" != "$line" ] || die "$list:$number: expected \"key: value\""
        value=${line#*:}
        value=${value# }
        case $key in
            file) file=$value ;;
            find) find=$value ;;
            into) into=$value has_into=1 ;;
            fault) fault=$value ;;
            equivalent) equivalent=$value ;;
            *) die "$list:$number: unknown key \"$key\"" ;;
        esac
    done <"$root/$list"
    finish
}

# The number of times the text occurs in the file.
occurrences() {
    local content rest
    content=$(cat "$1"; printf x)
    rest=${content//"$2"/}
    echo $(((${#content} - ${#rest}) / ${#2}))
}

# Every mutant's text must stand once in its file, whether or not this run plants it: a change that
# moves or rewrites the code shows up at once.
check_list() {
    local index count errors=0
    for index in "${!files[@]}"; do
        if [ ! -f "$root/${files[index]}" ]; then
            echo "mutants: $list:${places[index]}: no file ${files[index]}" >&2
            errors=$((errors + 1))
            continue
        fi
        count=$(occurrences "$root/${files[index]}" "${finds[index]}")
        if [ "$count" != 1 ]; then
            echo "mutants: $list:${places[index]}: the text stands $count times in ${files[index]}," \
                "not once: ${finds[index]}" >&2
            errors=$((errors + 1))
        fi
    done
    [ "$errors" = 0 ] || die "$errors errors in the list"
}

# Copies the work tree's files (tracked and new, not ignored) into the scratch copy; only changed files
# are written, so the scratch build stays incremental. A file the last run left mutated is rewritten too.
sync_source() {
    mkdir -p "$source"
    local wanted=$scratch/files
    (cd "$root" && git ls-files -z --cached --others --exclude-standard) | tr '\0' '\n' | sort >"$wanted"
    local file
    while IFS= read -r file; do
        [ -f "$root/$file" ] || continue
        if ! cmp -s "$root/$file" "$source/$file"; then
            mkdir -p "$(dirname "$source/$file")"
            cp "$root/$file" "$source/$file"
        fi
    done <"$wanted"
    (cd "$source" && find . -type f | sed 's|^\./||' | sort) | comm -13 "$wanted" - |
        while IFS= read -r file; do rm -f "$source/$file"; done
}

# The test programs that can see a fault in the file: the test executables that link its module, its
# own module's first, and for the game and the level checker the checker's own test (tools.check_levels,
# which needs no display either).
programs_for() {
    local file=$1 module own name
    case $file in
        src/tools/*) echo checker; return ;;
        src/game/*/*) own=${file#src/game/} own=${own%%/*} module=tezmola_game_$own own=game ;;
        src/game/*) module=tezmola_game own=game ;;
        src/engine/*) own=${file#src/engine/} own=${own%%/*} module=pentavel_$own ;;
        *) return ;;
    esac
    for name in $own game data app graphics audio core file util; do
        if grep -q "lib$module\.a" "$build/tests/CMakeFiles/${name}_tests.dir/link.txt" 2>/dev/null; then
            echo "${name}_tests"
        fi
    done | awk '!seen[$0]++'
    case $module in tezmola_game*) echo checker ;; esac
}

build_program() {
    case $1 in
        checker) cmake --build "$build" -j"$jobs" --target tezmola-check-levels tezmola_data ;;
        *) cmake --build "$build" -j"$jobs" --target "$1" ;;
    esac
}

run_program() {
    case $1 in
        checker)
            timeout "$test_seconds" bash "$source/tests/tools/check_levels_test.sh" \
                "$build/tezmola-check-levels" "$source"
            ;;
        *)
            (cd "$build/tests" && SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy timeout "$test_seconds" \
                "./$1" --gtest_fail_fast --gtest_brief=1)
            ;;
    esac
}

# The objects compiled from a source file, saved before it is mutated and put back after, so that the
# restored file costs no second compilation.
objects_of() {
    find "$build" -path "*/CMakeFiles/*.dir/$1.o" 2>/dev/null
}
saved_copy() {
    echo "$scratch/saved/$(echo "${1#"$build"/}" | tr / _)"
}

mutated_file=""
restore() {
    [ -n "$mutated_file" ] || return 0
    local object
    while IFS= read -r object; do
        if [ -f "$(saved_copy "$object")" ]; then cp "$(saved_copy "$object")" "$object"; fi
    done < <(objects_of "$mutated_file")
    # A source file gets its old time with its saved objects; a header has no objects of its own, and the
    # objects that include it hold the mutant: a new time has them built again.
    case $mutated_file in
        *.cpp) cp -p "$scratch/original" "$source/$mutated_file" ;;
        *) cp "$scratch/original" "$source/$mutated_file" ;;
    esac
    rm -f "$scratch/mutated"
    mutated_file=""
}
trap restore EXIT
trap 'exit 130' INT TERM

parse_list
check_list
total=${#files[@]}

share=""
selected=()
numbers=()
while [ $# -gt 0 ]; do
    case $1 in
        --share)
            [ $# -ge 2 ] || die "--share needs K/N or day/N"
            share=$2
            shift 2
            ;;
        -h | --help)
            sed -n '9,22p' "$0" | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        [0-9]*) numbers+=("$1"); shift ;;
        *) die "unknown argument $1" ;;
    esac
done
if [ -n "$share" ]; then
    count=${share#*/}
    part=${share%/*}
    [[ $count =~ ^[1-9][0-9]*$ ]] || die "--share $share: N must be a positive number"
    if [ "$part" = day ]; then
        day=$(($(date -u +%s) / 86400))
        part=$((day % count + 1))
    fi
    [[ $part =~ ^[0-9]+$ ]] && [ "$part" -ge 1 ] && [ "$part" -le "$count" ] || die "--share $share: no such share"
    for ((index = part - 1; index < total; index += count)); do selected+=("$index"); done
    echo "Mutation check: share $part of $count${day:+ (day $day)}: ${#selected[@]} of the $total mutants of $list"
elif [ ${#numbers[@]} -gt 0 ]; then
    for number in "${numbers[@]}"; do
        [ "$number" -ge 1 ] && [ "$number" -le "$total" ] || die "no mutant $number (the list has $total)"
        selected+=($((number - 1)))
    done
    echo "Mutation check: ${#selected[@]} of the $total mutants of $list"
else
    selected=("${!files[@]}")
    echo "Mutation check: all $total mutants of $list"
fi

# The scratch build: optimised but without debugging information, which only slows the links, and without
# warnings, so that the generated mutants' build (scripts/mutants.py, same folder) reads only errors.
sync_source
if [ -f "$scratch/mutated" ]; then
    touch "$source/$(cat "$scratch/mutated")"  # an interrupted run: its objects may hold the mutant
    rm -f "$scratch/mutated"
fi
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -w" \
    -DTEZMOLA_BENCHMARKS=OFF -DTEZMOLA_MUTANTS=ON -DTEZMOLA_UNITY=OFF >"$scratch/configure.log" || die "cannot configure $build (see $scratch/configure.log)"

# The programs this run needs, built and run once without a mutant: they must pass as they are.
declare -A needed=()
for index in "${selected[@]}"; do
    [ -z "${equivalents[index]}" ] || continue
    for program in $(programs_for "${files[index]}"); do needed[$program]=1; done
done
baseline=$SECONDS
for program in "${!needed[@]}"; do
    build_program "$program" >"$scratch/build.log" 2>&1 || die "cannot build $program (see $scratch/build.log)"
done
for program in "${!needed[@]}"; do
    run_program "$program" >"$scratch/test.log" 2>&1 ||
        die "$program fails without any mutant (see $scratch/test.log)"
done
echo "Built and ran ${#needed[@]} test programs without a mutant in $((SECONDS - baseline)) s"

killed=0 survived=() equivalent=0 errors=()
mkdir -p "$scratch/saved"
for index in "${selected[@]}"; do
    number=$((index + 1))
    file=${files[index]}
    line=$(grep -n -F -- "${finds[index]}" "$source/$file" | head -1 | cut -d: -f1 || true)
    where="$file:$line"
    if [ -n "${equivalents[index]}" ]; then
        equivalent=$((equivalent + 1))
        printf '%3d equivalent %s: %s (%s)\n' "$number" "$where" "${faults[index]}" "${equivalents[index]}"
        continue
    fi
    programs=$(programs_for "$file")
    [ -n "$programs" ] || die "$list:${places[index]}: no test program links $file"
    mutant_started=$SECONDS
    rm -f "$scratch/saved/"*
    while IFS= read -r object; do cp "$object" "$(saved_copy "$object")"; done < <(objects_of "$file")
    cp -p "$source/$file" "$scratch/original"
    echo "$file" >"$scratch/mutated"
    mutated_file=$file
    content=$(cat "$source/$file"; printf x)
    content=${content%x}
    printf '%s' "${content/"${finds[index]}"/"${intos[index]}"}" >"$source/$file"
    verdict=survived by=""
    for program in $programs; do
        if ! build_program "$program" >"$scratch/build.log" 2>&1; then
            verdict=error by="does not build, see $scratch/mutant-$number.log"
            cp "$scratch/build.log" "$scratch/mutant-$number.log"
            break
        fi
        if ! run_program "$program" >"$scratch/test.log" 2>&1; then
            verdict=killed by=$program
            break
        fi
    done
    restore
    case $verdict in
        killed) killed=$((killed + 1)) ;;
        survived) survived+=("$number") ;;
        error) errors+=("$number") ;;
    esac
    printf '%3d %-10s %s: %s (%s%s s)\n' "$number" "$verdict" "$where" "${faults[index]}" \
        "${by:+$by, }" "$((SECONDS - mutant_started))"
done

counted=$((killed + ${#survived[@]}))
rate=$(awk -v k="$killed" -v n="$counted" 'BEGIN { printf "%.1f", n ? 100 * k / n : 100 }')
echo "Killed $killed of $counted mutants ($rate %); $equivalent equivalent not counted;" \
    "${#survived[@]} survived${survived[*]:+: ${survived[*]}}; $((SECONDS - started)) s in all"
if [ ${#errors[@]} -gt 0 ]; then
    echo "mutants: ${#errors[@]} mutants do not build: ${errors[*]}" >&2
    exit 2
fi
[ ${#survived[@]} = 0 ]
