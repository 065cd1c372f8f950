#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tezmola developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The mutant generator on a small file: the sites it finds, their names after an unrelated edit, and the
one build of all of them, where each mutant switched on changes what the program does and none switched
on changes nothing."""

import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
GENERATOR = os.path.join(ROOT, "scripts", "mutants.py")
SAMPLE = os.path.join(HERE, "generator_sample.cpp")

# Every operator family, and nothing from the comment, the strings, the constant expression, the array's
# bound or sizeof.
EXPECTED = """
Tally::add: value < kLimit || value == 7 => value < kLimit && value == 7
Tally::add: if (value < kLimit || value == 7) => if (!(value < kLimit || value == 7))
Tally::add: value < kLimit => value <= kLimit
Tally::add: value == 7 => value != 7
Tally::add: value == 7 => value == 6
Tally::add: if (value < kLimit || value == 7) … return false => if (value < kLimit || value == 7) … return true
Tally::add: kept.push_back(value); => (removed)
Tally::add: total += value; => (removed)
Tally::add: total += value => total -= value
Tally::add: return true => return false
mix: first * 10 - second => first * 10 + second
mix: first * 10 => first / 10
mix: first * 10 => first * 9
main: value = 0 => value = 1
main: value < 9 => value <= 9
main: for (…; value < 9; …) => for (…; !(value < 9); …)
main: value < 9 => value < 8
main: tally.add(value) ? => !(tally.add(value)) ?
main: tally.add(value) ? 1 : 0 => tally.add(value) ? 0 : 0
main: tally.add(value) ? 1 : 0 => tally.add(value) ? 1 : 1
main: printf(…, tally.total, static_cast<int>(tally.kept.si…, …) => printf(…, static_cast<int>(tally.kept.si…, tally.total, …)
main: printf(…, static_cast<int>(tally.kept.si…, mix(tally.total, 2), …) => printf(…, mix(tally.total, 2), static_cast<int>(tally.kept.si…, …)
main: mix(tally.total, 2) => mix(2, tally.total)
main: mix(tally.total, 2) => mix(tally.total, 1)
main: return 0 => return 1
"""


def generator(option, path):
    out = subprocess.run([sys.executable, GENERATOR, option, path], check=True, capture_output=True)
    return out.stdout.decode()


def sites(path):
    prefix = os.path.basename(path) + ": "
    return [line[len(prefix):] for line in generator("--sites-of", path).splitlines()]


class Generator(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        with open(SAMPLE, encoding="utf-8") as file:
            self.text = file.read()

    def tearDown(self):
        self.folder.cleanup()

    def write(self, name, text):
        path = os.path.join(self.folder.name, name)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)
        return path

    def test_finds_each_site_once_by_its_rule(self):
        self.assertEqual(EXPECTED.strip().splitlines(), sites(SAMPLE))

    def test_names_survive_an_unrelated_edit(self):
        edited = self.text.replace("namespace {\n", "namespace {\n\n// A new helper.\nint twice(int a) {\n"
                                   "    return a + a;\n}\n", 1)
        edited = edited.replace("    Tally tally;\n", "    Tally tally;\n    std::printf(\"%d\", twice(1));\n")
        found = [name for name in sites(self.write("sample.cpp", edited)) if "twice" not in name]
        self.assertEqual(EXPECTED.strip().splitlines(), found)

    def test_one_build_holds_every_mutant_and_each_changes_the_program(self):
        program = os.path.join(self.folder.name, "sample")
        subprocess.run(["c++", "-std=c++17", "-O1", "-x", "c++", "-o", program, "-"], check=True,
                       input=generator("--schema-of", SAMPLE).encode())

        def run(mutant):
            environment = dict(os.environ, TEZMOLA_MUTANT=str(mutant))
            done = subprocess.run([program], capture_output=True, env=environment, timeout=10)
            return done.stdout, done.returncode

        original = run(0)
        self.assertEqual((b"000111101 26 5 258 a < b && c = 1; 4\n", 0), original)
        count = len(EXPECTED.strip().splitlines())
        for mutant in range(1, count + 1):
            with self.subTest(mutant=mutant):
                self.assertNotEqual(original, run(mutant))

    def test_changed_lines_leave_out_what_the_diff_only_moves(self):
        sys.path.insert(0, os.path.dirname(GENERATOR))
        import mutants
        repo = self.folder.name
        git = ["git", "-C", repo, "-c", "user.name=t", "-c", "user.email=t@t"]
        os.makedirs(os.path.join(repo, "src"))
        first = "int one() {\n    return 1;\n}\nint two(int a) {\n    return a + 2;\n}\n"
        self.write("src/a.cpp", first)
        self.write("src/b.cpp", "int zero() {\n    return 0;\n}\n")
        subprocess.run(git + ["init", "-q"], check=True)
        subprocess.run(git + ["add", "."], check=True)
        subprocess.run(git + ["commit", "-q", "-m", "base"], check=True)
        # two() moves to b.cpp, re-indented, with one line altered; a.cpp gains a line; c.cpp is new.
        self.write("src/a.cpp", "int one() {\n    return 1;\n}\nint three() { return 3; }\n")
        self.write("src/b.cpp", "int zero() {\n    return 0;\n}\nint two(int a) {\n  return a + 2;\n"
                   "}\nint four(int a) {\n    return a - 2;\n}\n")
        self.write("src/c.cpp", "int one() {\n    return 5;\n}\n")
        saved, mutants.ROOT = mutants.ROOT, repo
        try:
            changed = mutants.changed_lines("HEAD")
        finally:
            mutants.ROOT = saved
        self.assertEqual({"src/a.cpp": {4}, "src/b.cpp": {7, 8, 9}, "src/c.cpp": {1, 2, 3, 4}}, changed)


if __name__ == "__main__":
    unittest.main()
