// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Levels as a level file writes them, and the writing of a whole set: what the level importer builds and a
// level editor saves.

#include <array>
#include <string>
#include <vector>

#include "game/field/brick_grid.h"
#include "game/field/level.h"

class TiXmlDocument;

namespace tezmola {

constexpr int kMapRows = kLastMapRow + 1;  // rows 0..18 of the grid are written; the rest stay free

// One cell of a brick map: "R1", "SS", "..", "I." and so on (see docs/levels.md).
using CellCode = std::array<char, 2>;

// A level as written: the comment before it, the background and the brick map, frame included.
struct LevelDraft {
    // The frame of pipes drawn with "+.", "--" and "I." round empty cells, on the shipped background.
    LevelDraft();

    std::string comment;  // UTF-8 text of the comment before the level; empty: none
    std::string title;    // UTF-8, the level's "title" attribute; empty: none
    std::string author;   // UTF-8, its "author" attribute; empty: none
    bool proven = false;  // "proven": the level checker's autopilot cleared it
    std::string background = "bg_bricks";
    float red = 1.0f;  // tint of the background, 0..1
    float green = 1.0f;
    float blue = 1.0f;
    std::array<std::array<CellCode, kGridColumns>, kMapRows> map;  // [row][column]

    bool operator==(const LevelDraft& other) const;
    bool operator!=(const LevelDraft& other) const { return !(*this == other); }
};

// The level file of these levels, in order, laid out as docs/levels.md shows and always well formed: the
// comment loses what a comment may not hold ("--", control characters, bytes that are no UTF-8), the
// background's name its control characters and bytes that are no UTF-8, and a code with a space or a
// character outside printable ASCII is written as "..", an empty cell.
std::string writeLevelSet(const std::vector<LevelDraft>& levels);
// The same file with lines of the caller's (whole lines, each ending in a line break) at the end of each
// level element, inside[n] in level n; levels after the last of inside get none.
std::string writeLevelSet(const std::vector<LevelDraft>& levels, const std::vector<std::string>& inside);

// The levels of a level file's document as the game reads them: each map read with the game's own reader
// (what it skips is dropped, cells it never reaches keep the frame drawing), the background as it stands,
// the last comment before each level. What the game would reject keeps the draft's defaults: a level
// without a "tezm" element gets the bare frame, one without a whole background "bg_bricks" untinted.
std::vector<LevelDraft> readLevelSet(const TiXmlDocument& document);
// The text without the spaces, tabs and line ends around it.
std::string trimmedText(const std::string& text);

}  // namespace tezmola
