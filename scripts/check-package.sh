#!/bin/bash
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installation and the Debian package of a Tezmola build:
#   - the desktop entry and the AppStream metainfo validate;
#   - the package builds with CPack, names its shared-library dependencies and lintian finds no error and
#     no warning in it;
#   - an install staged with DESTDIR holds the expected tree, and the staged game starts through a
#     symbolic link to its launcher and finds its data;
#   - the package installs with apt-get, and the installed launcher passes the end-to-end start-up test
#     (tests/e2e/startup_test.sh: window, drawing, Escape with exit code 0, log and settings in the player's
#     folder); it starts, plays and fails without a display on the original SDL 1.2 library too;
#   - purging the package leaves none of its files behind, only the player's folder.
# Usage: scripts/check-package.sh [build-dir]   (default: build; configured and built beforehand)
# Needs root or sudo: it installs and then purges the package "tezmola" on this machine, replacing any
# installed copy.
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(cd "${1:-build}" 2>/dev/null && pwd)" || {
    echo "check-package: FAILED: build directory '${1:-build}' not found; configure and build first" >&2
    exit 1
}

fail() {
    echo "check-package: FAILED: $*" >&2
    exit 1
}
step() { echo "check-package: $*"; }

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

# Tools: scripts/install-deps.sh installs the validators, and the X tools that the harness checks itself.
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli gzip man lintian; do
    command -v "$tool" >/dev/null || fail "the tool $tool is missing (scripts/install-deps.sh)"
done

[ -f "$build_dir/CPackConfig.cmake" ] || fail "$build_dir is not a configured Tezmola build (no CPackConfig.cmake)"
step "building $build_dir"
cmake --build "$build_dir" -j"$(nproc)" >"$work/build.log" 2>&1 || {
    tail -n 30 "$work/build.log" >&2
    fail "the build failed"
}
[ -x "$build_dir/tezmola" ] || fail "$build_dir/tezmola was not built"

step "validating the desktop entry and the metainfo"
desktop_file="$source_dir/packaging/org.tezmola.Tezmola.desktop"
metainfo="$source_dir/packaging/org.tezmola.Tezmola.metainfo.xml"
desktop-file-validate "$desktop_file" || fail "desktop-file-validate rejects $desktop_file"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

# --- Staged install -------------------------------------------------------------------------------------
step "staging an install with DESTDIR"
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build_dir" --prefix /usr --component game >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
}
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
for path in "${expected[@]}"; do
    [ -f "$stage/$path" ] || fail "the staged install lacks /$path"
done
[ -x "$stage/usr/lib/games/tezmola/tezmola" ] || fail "the staged program is not executable"
[ -x "$stage/usr/games/tezmola" ] || fail "the staged launcher is not executable"
unexpected="$(cd "$stage" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))"
[ -z "$unexpected" ] || fail "the staged install holds unexpected files: $unexpected"
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

man_page="$stage/usr/share/man/man6/tezmola.6.gz"
gzip -t "$man_page" || fail "the man page is not a valid gzip file"
man_warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >"$work/man.txt")" || fail "man cannot format the man page"
[ -z "$man_warnings" ] || fail "the man page formats with warnings: $man_warnings"
for text in "/usr/lib/games/tezmola" "My Games/Tezmola" "log.html" "settings.xml" "SDL_AUDIODRIVER=dummy" "Escape"; do
    grep -qF "$text" "$work/man.txt" || fail "the man page does not mention $text"
done

checker_page="$stage/usr/share/man/man6/tezmola-check-levels.6.gz"
man_warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$checker_page" 2>&1 >"$work/man-checker.txt")" ||
    fail "man cannot format the checker's man page"
[ -z "$man_warnings" ] || fail "the checker's man page formats with warnings: $man_warnings"
grep -qF "/usr/share/doc/tezmola/levels.md" "$work/man-checker.txt" || fail "the checker's man page does not name levels.md"
importer_page="$stage/usr/share/man/man6/tezmola-import-levels.6.gz"
man_warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$importer_page" 2>&1 >"$work/man-importer.txt")" ||
    fail "man cannot format the importer's man page"
[ -z "$man_warnings" ] || fail "the importer's man page formats with warnings: $man_warnings"
grep -qF "My Games/Tezmola" "$work/man-importer.txt" || fail "the importer's man page does not name the player's folder"
editor_page="$stage/usr/share/man/man6/tezmola-editor.6.gz"
man_warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$editor_page" 2>&1 >"$work/man-editor.txt")" ||
    fail "man cannot format the editor's man page"
[ -z "$man_warnings" ] || fail "the editor's man page formats with warnings: $man_warnings"
grep -qF "editor-log.html" "$work/man-editor.txt" || fail "the editor's man page does not name its log"
desktop-file-validate "$stage/usr/share/applications/org.tezmola.Tezmola.Editor.desktop" ||
    fail "the installed editor's desktop entry does not validate"
"$stage/usr/games/tezmola-editor" --version | grep -q "^tezmola-editor (Tezmola) " ||
    fail "the staged editor's launcher does not start it"

# The staged checker, through its launcher, finds the game's data and clears the shipped levels.
ln -s "$stage/usr/games/tezmola-check-levels" "$work/checker-link"
mkdir "$work/levels"
cp "$source_dir/data/level.xml" "$work/levels/"
"$work/checker-link" "$work/levels/level.xml" >"$work/checker.txt" 2>&1 || {
    cat "$work/checker.txt" >&2
    fail "the staged level checker does not pass the shipped levels"
}
! grep -q ": warning:" "$work/checker.txt" || fail "the staged level checker warns: $(grep ": warning:" "$work/checker.txt")"

# The staged importer, through its launcher, finds the game's data and proves the levels of a small set.
ln -s "$stage/usr/games/tezmola-import-levels" "$work/importer-link"
{
    printf 'Level:\nme\nstaged\nBricks:\n'
    for row in $(seq 18); do [ "$row" = 3 ] && echo dddddddddddddd || echo ..............; done
    printf 'Bonus:\n'
    for row in $(seq 18); do echo ..............; done
} >"$work/levels/staged-set"
"$work/importer-link" -o "$work/levels/imported.xml" "$work/levels/staged-set" >"$work/importer.txt" 2>&1 || {
    cat "$work/importer.txt" >&2
    fail "the staged level importer does not prove a small set"
}

# The staged tree must work where it lies, also through a symbolic link to the launcher.
ln -s "$stage/usr/games/tezmola" "$work/tezmola-link"
play_through "$work/tezmola-link" staged "$work/home-staged"

# --- Debian package -------------------------------------------------------------------------------------
step "building the Debian package"
rm -rf "$build_dir/package"
(cd "$build_dir" && cpack -G DEB -B "$build_dir/package") >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack failed"
}
debs=("$build_dir"/package/tezmola_*.deb)
[ -f "${debs[0]}" ] && [ "${#debs[@]}" -eq 1 ] || fail "cpack did not make exactly one tezmola_*.deb"
deb="${debs[0]}"
step "made $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tezmola ] || fail "package name is '$(field Package)'"
[ "$(field Section)" = games ] || fail "package section is '$(field Section)'"
[ "$(field Maintainer)" = "Tezmola developers <dev@tezmola.invalid>" ] || fail "maintainer is '$(field Maintainer)'"
depends="$(field Depends)"
for lib in libc6 libsdl libphysfs; do
    grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib (Depends: $depends)"
done
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents.txt"
for path in "${expected[@]}"; do
    grep -qx "./$path" "$work/contents.txt" || fail "the package lacks /$path"
done
if grep -v '^\./usr/' "$work/contents.txt" | grep -qvx '\./'; then
    fail "the package installs outside /usr: $(grep -v '^\./usr/' "$work/contents.txt" | grep -vx '\./')"
fi

step "lintian"
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 && ! grep -q '^[EW]:' "$work/lintian.log" || {
    cat "$work/lintian.log" >&2
    fail "lintian reports errors or warnings"
}

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

step "removing the package with apt-get remove --purge"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq tezmola >"$work/apt-remove.log" 2>&1 || {
    cat "$work/apt-remove.log" >&2
    fail "apt-get remove --purge tezmola failed"
}
installed_by_us=0
! dpkg-query -W -f='${Status}' tezmola 2>/dev/null | grep -q "ok installed" || fail "tezmola is still installed"
for path in /usr/lib/games/tezmola /usr/games/tezmola /usr/share/applications/org.tezmola.Tezmola.desktop \
    /usr/share/metainfo/org.tezmola.Tezmola.metainfo.xml /usr/share/man/man6/tezmola.6.gz \
    /usr/share/doc/tezmola /usr/share/lintian/overrides/tezmola \
    /usr/share/icons/hicolor/scalable/apps/tezmola.svg /usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/tezmola.png; do
    [ ! -e "$path" ] || fail "$path is left after purging the package"
done
[ -f "$player_dir/log.html" ] || fail "purging the package removed the player's folder"

step "all package checks passed"
