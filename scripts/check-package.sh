#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian source package in debian/ and checks what it makes:
#   - the desktop entry and the AppStream metainfo validate;
#   - dpkg-buildpackage -b builds the package in a copy of the source tree's files under <build-dir>/package,
#     where its output lands too; the package names its shared-library dependencies, holds exactly the
#     expected files, and lintian finds no error and no warning in it;
#   - a second build from a fresh copy makes the very same packages. Both leave out the unit tests
#     (DEB_BUILD_OPTIONS=nocheck), which the test step has run; with --with-tests the second one runs them,
#     as a build on a Debian builder does. Where ccache is installed it serves the second build's compiler
#     output, so that the second build costs little and still makes every package file afresh;
#   - the package's tree, unpacked elsewhere, holds sound icons and man pages, and the game starts there
#     through a symbolic link to its launcher and finds its data;
#   - the package installs with apt-get, and the installed launcher passes the end-to-end start-up test
#     (tests/e2e/startup_test.sh: window, drawing, Escape with exit code 0, log and settings in the player's
#     folder); it starts, plays and fails without a display on the original SDL 1.2 library too;
#   - autopkgtest runs the package's own tests (debian/tests) on the installed package;
#   - purging the package leaves none of its files behind, only the player's folder.
# Usage: scripts/check-package.sh [--with-tests] [build-dir]   (default: build; it need not be built)
# Needs root or sudo: it installs and then purges the package "tezmola" on this machine, replacing any
# installed copy. The built packages are left in <build-dir>/package.
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
second_build=nocheck
if [ "${1:-}" = --with-tests ]; then
    second_build=""
    shift
fi
build_dir="$(mkdir -p "${1:-build}" && cd "${1:-build}" && pwd)" || {
    echo "check-package: FAILED: cannot make the build directory '${1:-build}'" >&2
    exit 1
}

fail() {
    echo "check-package: FAILED: $*" >&2
    exit 1
}
step() { echo "check-package: [$SECONDS s] $*"; }

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

work="$(mktemp -d)"
installed_by_us=0
cleanup() {
    if [ "$installed_by_us" -eq 1 ] && dpkg-query -W -f='${Status}' tezmola 2>/dev/null | grep -q "ok installed"; then
        echo "check-package: purging the package left installed by the failed check" >&2
        $SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq tezmola >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Plays the start-up test of the end-to-end harness through a launcher: window, drawing, keys, Escape with
# exit code 0, the log without errors and the settings written. Arguments: launcher, label, home folder.
play_through() {
    step "$2: the start-up test through $1"
    E2E_HOME="$3" bash "$source_dir/tests/e2e/startup_test.sh" "$1" "$source_dir" ||
        fail "$2: the game does not start, play and quit cleanly through $1"
}

# Tools: scripts/install-deps.sh installs the validators, the package tools, and the X tools that the
# harness checks itself.
for tool in git dpkg-buildpackage dpkg-deb dh lintian autopkgtest desktop-file-validate appstreamcli gzip man; do
    command -v "$tool" >/dev/null || fail "the tool $tool is missing (scripts/install-deps.sh)"
done

step "validating the desktop entry and the metainfo"
desktop_file="$source_dir/packaging/org.tezmola.Tezmola.desktop"
metainfo="$source_dir/packaging/org.tezmola.Tezmola.metainfo.xml"
desktop-file-validate "$desktop_file" || fail "desktop-file-validate rejects $desktop_file"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

# --- Building the package -------------------------------------------------------------------------------
# dpkg-buildpackage writes into the parent of the tree it builds, so it builds a copy of the source tree's
# files (tracked or new, not ignored) in a folder of its own. The copy's path stays the same from run to
# run, so that ccache, where installed, serves the compiler's output again.
output="$build_dir/package"
tree="$output/tezmola"
export_tree() {
    rm -rf "$tree"
    mkdir -p "$tree"
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
        tar --null -T - -cf -) | tar -xf - -C "$tree" || fail "cannot copy the source tree to $tree"
}
# build_package [OPTIONS]: builds the packages from a fresh copy into $output, with DEB_BUILD_OPTIONS set to
# OPTIONS; its log is $log.
build_package() {
    log="$work/build${1:+-$1}.log"
    step "building the Debian package${1:+ with DEB_BUILD_OPTIONS=$1}"
    rm -rf "$output"
    export_tree
    # ccache must see the same absolute paths as the compiler: with a base directory it would pass them on
    # relative, and the debugging information, and so the programs' build ids, would differ from those of
    # a build without it.
    local launcher=()
    command -v ccache >/dev/null && launcher=(CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache)
    (cd "$tree" && env -u CCACHE_BASEDIR "${launcher[@]}" DEB_BUILD_OPTIONS="${1:-}" \
        dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$log" 2>&1 || {
        tail -n 40 "$log" >&2
        fail "dpkg-buildpackage failed; its log: $log"
    }
}

# Two builds, the second with the unit tests when asked: the same packages either way.
build_package nocheck
mkdir "$work/first"
mv "$output"/*.deb "$work/first/"
build_package "$second_build"
[ -n "$second_build" ] || grep -q "100% tests passed" "$log" || fail "the build ran no unit tests"
changes="$output/tezmola_$(cd "$tree" && dpkg-parsechangelog -S Version)_$(dpkg --print-architecture).changes"
[ -f "$changes" ] || fail "dpkg-buildpackage did not make $changes"
debs=("$output"/tezmola_*.deb)
[ -f "${debs[0]}" ] && [ "${#debs[@]}" -eq 1 ] || fail "dpkg-buildpackage did not make exactly one tezmola_*.deb"
deb="${debs[0]}"
step "made $deb"

step "the same packages from both builds"
[ "$(cd "$work/first" && ls)" = "$(cd "$output" && ls -- *.deb)" ] || fail "the two builds made other packages"
for package in "$work"/first/*.deb; do
    cmp "$package" "$output/$(basename "$package")" ||
        fail "$(basename "$package") differs between two builds of the same sources"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tezmola ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = games ] || fail "package section is '$(field Section)'"
[ "$(field Maintainer)" = "Tezmola developers <dev@tezmola.invalid>" ] || fail "maintainer is '$(field Maintainer)'"
depends="$(field Depends)"
# libsdl1.2debian is the original SDL 1.2 library, and what the compatibility library's shim provides.
for lib in libc6 libsdl1.2debian libsdl-mixer1.2 libphysfs; do
    grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib (Depends: $depends)"
done

expected=(
    usr/lib/games/tezmola/tezmola
    usr/lib/games/tezmola/tezmola.pak
    usr/games/tezmola
    usr/share/applications/org.tezmola.Tezmola.desktop
    usr/share/metainfo/org.tezmola.Tezmola.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/tezmola.svg
    usr/share/icons/hicolor/48x48/apps/tezmola.png
    usr/share/icons/hicolor/64x64/apps/tezmola.png
    usr/share/icons/hicolor/128x128/apps/tezmola.png
    usr/share/icons/hicolor/256x256/apps/tezmola.png
    usr/share/man/man6/tezmola.6.gz
    usr/lib/games/tezmola/tezmola-check-levels
    usr/games/tezmola-check-levels
    usr/share/man/man6/tezmola-check-levels.6.gz
    usr/lib/games/tezmola/tezmola-import-levels
    usr/games/tezmola-import-levels
    usr/share/man/man6/tezmola-import-levels.6.gz
    usr/lib/games/tezmola/tezmola-editor
    usr/games/tezmola-editor
    usr/share/man/man6/tezmola-editor.6.gz
    usr/share/applications/org.tezmola.Tezmola.Editor.desktop
    usr/share/icons/hicolor/scalable/apps/tezmola-editor.svg
    usr/share/icons/hicolor/48x48/apps/tezmola-editor.png
    usr/share/icons/hicolor/64x64/apps/tezmola-editor.png
    usr/share/icons/hicolor/128x128/apps/tezmola-editor.png
    usr/share/icons/hicolor/256x256/apps/tezmola-editor.png
    usr/share/doc/tezmola/levels.md
    usr/share/doc/tezmola/copyright
    usr/share/doc/tezmola/changelog.Debian.gz
    usr/share/lintian/overrides/tezmola
)
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort >"$work/contents.txt"
differences="$(diff <(printf '%s\n' "${expected[@]}" | sort) "$work/contents.txt")" ||
    fail "the package does not hold the expected files (< missing, > unexpected):"$'\n'"$differences"

step "lintian"
lintian --fail-on error,warning "$changes" >"$work/lintian.log" 2>&1 && ! grep -q '^[EW]:' "$work/lintian.log" || {
    cat "$work/lintian.log" >&2
    fail "lintian reports errors or warnings"
}

# --- The package's tree, unpacked -----------------------------------------------------------------------
step "unpacking the package's tree"
stage="$work/stage"
dpkg-deb -x "$deb" "$stage"
[ -x "$stage/usr/lib/games/tezmola/tezmola" ] || fail "the program is not executable"
[ -x "$stage/usr/games/tezmola" ] || fail "the launcher is not executable"
for size in 48 64 128 256; do
    png="$stage/usr/share/icons/hicolor/${size}x${size}/apps/tezmola.png"
    # The PNG header holds width and height as big-endian 32-bit numbers at bytes 16 and 20.
    dims="$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')"
    [ "$dims" = "${size}x${size}" ] || fail "icon $png is $dims, not ${size}x${size}"
done
desktop-file-validate "$stage/usr/share/applications/org.tezmola.Tezmola.desktop" ||
    fail "the installed desktop entry does not validate"
# The tree check also ties the metainfo to its desktop entry.
appstreamcli validate-tree --no-net "$stage" || fail "appstreamcli rejects the staged tree"

# check_man_page PAGE TEXT...: the page formats without a warning and mentions each text.
check_man_page() {
    local page="$stage/usr/share/man/man6/$1.6.gz" text warnings
    shift
    gzip -t "$page" || fail "the man page $page is not a valid gzip file"
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >"$work/man.txt")" ||
        fail "man cannot format $page"
    [ -z "$warnings" ] || fail "$page formats with warnings: $warnings"
    for text in "$@"; do
        grep -qF "$text" "$work/man.txt" || fail "$page does not mention $text"
    done
}
check_man_page tezmola "/usr/lib/games/tezmola" "My Games/Tezmola" "log.html" "settings.xml" \
    "SDL_AUDIODRIVER=dummy" "Escape"
check_man_page tezmola-check-levels "/usr/share/doc/tezmola/levels.md"
check_man_page tezmola-import-levels "My Games/Tezmola"
check_man_page tezmola-editor "editor-log.html"
desktop-file-validate "$stage/usr/share/applications/org.tezmola.Tezmola.Editor.desktop" ||
    fail "the installed editor's desktop entry does not validate"
"$stage/usr/games/tezmola-editor" --version | grep -q "^tezmola-editor (Tezmola) " ||
    fail "the staged editor's launcher does not start it"

# The staged tree must work where it lies, also through a symbolic link to the launcher.
ln -s "$stage/usr/games/tezmola" "$work/tezmola-link"
play_through "$work/tezmola-link" staged "$work/home-staged"

step "installing the package with apt-get"
installed_by_us=1
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt-install.log" 2>&1 || {
    cat "$work/apt-install.log" >&2
    fail "apt-get install $deb failed"
}
[ -x /usr/games/tezmola ] || fail "the launcher /usr/games/tezmola is not installed"

play_through /usr/games/tezmola installed "$work/home-installed"
player_dir="$work/home-installed/My Games/Tezmola"
# apt picks the original SDL 1.2 library on a clean machine, while this one may hold the compatibility
# library: the installed game also runs on the original one (each window check reads /proc/PID/maps).
step "the installed game on the original SDL 1.2 library"
"$source_dir/scripts/test-original-sdl.sh" /usr/games/tezmola "$build_dir/original-sdl" ||
    fail "the installed game fails on the original SDL 1.2 library"

# The package's own tests, as a testbed runs them: on the installed package, from the source tree's copy.
step "autopkgtest"
export_tree
autopkgtest --output-dir "$work/autopkgtest" "$deb" "$tree/" -- null >"$work/autopkgtest.log" 2>&1 || {
    tail -n 40 "$work/autopkgtest.log" >&2
    fail "autopkgtest fails"
}
cat "$work/autopkgtest/summary"

step "removing the package with apt-get remove --purge"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq tezmola >"$work/apt-remove.log" 2>&1 || {
    cat "$work/apt-remove.log" >&2
    fail "apt-get remove --purge tezmola failed"
}
installed_by_us=0
! dpkg-query -W -f='${Status}' tezmola 2>/dev/null | grep -q "ok installed" || fail "tezmola is still installed"
for path in "${expected[@]}" usr/lib/games/tezmola usr/share/doc/tezmola; do
    [ ! -e "/$path" ] || fail "/$path is left after purging the package"
done
[ -f "$player_dir/log.html" ] || fail "purging the package removed the player's folder"

step "all package checks passed"
