// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a level of an LBreakout2 set becomes a Tezmola level: each brick letter always the same brick code
// (the table in docs/levels.md), the set's 14 x 18 field as the inside of the frame, and a background from
// the shipped ones.

#include <cstddef>
#include <string>

#include "game/records/level_set.h"
#include "tools/import/lbreakout_set.h"

namespace tezmola {
namespace import {

// The brick code for a letter of a set ("." gives ".."); ".." too for a letter that names no brick.
CellCode brickCode(char letter);

// The level with its map and comment; the background is left for chooseBackground. `approximated` is set
// to what the import could not keep ("4 explosive bricks do not explode, ..."), empty when it kept all.
LevelDraft importLevel(const SetLevel& level, const std::string& setName, int numberInSet,
                       std::string& approximated);

// Gives the level at that position of the written file one of the shipped backgrounds with its tint;
// neighbouring positions always differ.
void chooseBackground(LevelDraft& level, std::size_t position);

}  // namespace import
}  // namespace tezmola
