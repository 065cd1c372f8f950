// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A game set up, started and stepped: the fixed 5 ms step and what it applies.

#include <string>

#include "game/play/game_structure.h"

namespace tezmola {

// Once, from the Game: paddle, level file, glyphs, background, labels, guard, grid, slots, new game.
// False (after logging why) when the level file cannot be read. The game reads "level.xml"; the level
// checker names the file it was given.
bool initialiseGameStructure(GameStructure& game, const char* levelFile = kLevelFileName);
// The same for a game that a level author tries out: the levels come from the text of a level file, and the
// high-score table is never read nor offered a game. False when the text is not a well-formed level file.
bool initialiseTrialGame(GameStructure& game, const std::string& levelFile);
// The same with the levels already in the game's level document (a set from the shelf): the table is the
// set's own.
void initialiseWithLevels(GameStructure& game, const std::string& highScoreFile);
// The same for a game played again from its record: the levels already in the level document, no table.
void initialiseReplayGame(GameStructure& game);
// Level 1, score 0, four spare balls, first level built; its record started.
void newGame(GameStructure& game);
// One fixed step of dt seconds: balls, losses, serve, capsules, cell animation, guard glow, next level.
void updateGame(GameStructure& game, float dt);
// Applies the effect of a caught capsule.
void applyPowerUp(GameStructure& game, PowerUpKind kind);
// Mirrors the Game's pause for the display: cursor shown only while paused, state label refreshed.
void setPausedShown(GameStructure& game, bool paused);

}  // namespace tezmola
