// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reader of LBreakout2's level sets: plain text, an optional "Version:" line, then per level the lines
// "Level:", author, title, "Bricks:" with 18 rows of 14 brick letters, and "Bonus:" with 18 rows of bonus
// letters. Line ends may be LF or CR LF; author and title may be Latin-1 or UTF-8.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tezmola {
namespace import {

constexpr int kSetColumns = 14;
constexpr int kSetRows = 18;
constexpr std::uint64_t kMaxSetSize = 16 * 1024 * 1024;  // far beyond the largest set (about 200 KB)

struct SetLevel {
    int line = 0;                              // of its "Level:" line, from 1
    std::string author;                        // UTF-8
    std::string title;                         // UTF-8
    std::array<std::string, kSetRows> bricks;  // 14 letters each, "." for no brick
    int cutRows = 0;  // rows longer than 14 letters whose letters past the 14th were bricks
};

struct SetProblem {
    int line = 0;
    std::string text;
};

struct LevelSet {
    std::vector<SetLevel> levels;    // the levels read whole, in order
    std::vector<SetProblem> errors;  // each level or piece of text that could not be read
};

// Reads a set from its bytes. A level that is cut short, lacks its "Bricks:" block, or has a short row or
// an unknown brick is left out with an error naming its line; the levels around it are still read.
LevelSet readLevelSet(const std::string& bytes);

}  // namespace import
}  // namespace tezmola
