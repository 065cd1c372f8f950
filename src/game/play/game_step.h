// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A game set up, started and stepped: the fixed 5 ms step and what it applies.

#include <memory>
#include <string>

#include "game/play/game_structure.h"

namespace tezmola {

// Once, from the Game: paddle, level file, glyphs, background, labels, guard, grid, slots, new game.
// False (after logging why) when the level file cannot be read. The game reads "level.xml"; the level
// checker names the file it was given.
bool initialiseGameStructure(GameStructure& game, const char* levelFile = kLevelFileName);
// The same with the levels already in the game's level document (a set from the shelf, a record's levels):
// the table is the one named, which is read and offered each game; null for none (a replay), whose file is
// never read nor written.
void initialiseWithLevels(GameStructure& game, const char* highScoreFile);
// A game that a level author tries out, set up as above: the levels come from the text of a level file, and
// no table. Null when the text is not a well-formed level file.
std::unique_ptr<GameStructure> makeTrialGame(const std::string& levelFile);
// Level 1, score 0, four spare balls, first level built; its record started.
void newGame(GameStructure& game);
// One fixed step of dt seconds: balls, losses, serve, capsules, cell animation, guard glow, next level.
void updateGame(GameStructure& game, float dt);
// Applies the effect of a caught capsule.
void applyPowerUp(PlayField& field, PowerUpKind kind);
// Mirrors the Game's pause for the display: cursor shown only while paused, still frames held.
void setPausedShown(GameDisplay& display, bool paused);

}  // namespace tezmola
