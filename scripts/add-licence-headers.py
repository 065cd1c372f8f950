#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Puts the copyright and licence lines at the top of every tracked source file that lacks them, in the
comment syntax of the file; a first line that must stay first (#!, <?xml) stays first. Files that cannot
carry the lines are covered by .reuse/dep5 instead. Run from anywhere; `reuse lint` checks the result.
"""
import pathlib
import subprocess

# REUSE-IgnoreStart
LINES = ("SPDX-FileCopyrightText: 2026 The Tezmola developers", "SPDX-License-Identifier: GPL-3.0-or-later")
SLASHES = {".cpp", ".h", ".hpp", ".cc"}
HASHES = {".sh", ".py", ".cmake", ".in", ".desktop", ".supp", ".clang-format", ".clang-tidy", ".gitignore"}
HASH_NAMES = {"CMakeLists.txt", "run"}
# REUSE-IgnoreEnd


def comment(path):
    """The lines as comments for this file, or None when it is left to .reuse/dep5."""
    name = path.name
    if path.suffix in SLASHES:
        return [f"// {line}\n" for line in LINES]
    if path.suffix in HASHES or name in HASHES or name in HASH_NAMES:
        return [f"# {line}\n" for line in LINES]
    if path.suffix == ".6":
        return [f'.\\" {line}\n' for line in LINES]
    if path.suffix == ".svg" and not path.parts[0] == "data":
        return [f"<!-- {line} -->\n" for line in LINES]
    return None


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    files = subprocess.run(["git", "ls-files", "-z"], cwd=root, check=True, capture_output=True).stdout
    for relative in filter(None, files.decode().split("\0")):
        path = root / relative
        lines = comment(pathlib.Path(relative))
        if lines is None or not path.is_file():
            continue
        text = path.read_text(encoding="utf-8")
        if LINES[1].split(" ")[0] in text:
            continue
        first, newline, rest = text.partition("\n")
        if first.startswith("#!") or first.startswith("<?xml"):
            text = first + newline + "".join(lines) + rest
        else:
            text = "".join(lines) + text
        path.write_text(text, encoding="utf-8")
        print(relative)


if __name__ == "__main__":
    main()
