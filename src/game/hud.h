// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The heads-up display: title, score, level, multiplier and state labels, and the top band.

#include <cstdint>

namespace tezmola {

class GameStructure;

// Builds the glyph table from the "conduit_" sprites, "conduit_nc" where one is missing.
void buildGlyphTable(GameStructure& game);
// Makes the title, score, top band, multiplier and state labels with their layout.
void setUpLabels(GameStructure& game);
// "LEVEL nn", or the frame-rate text in its place while that is switched on.
void refreshLevelLabel(GameStructure& game);
// "PAUSED" while paused, else "GAME OVER" when the game is over, else hidden. The high-score table goes
// with the game over.
void refreshStateLabel(GameStructure& game);
// The title reads "ZORPLEX" until the next new game.
void setTitleCheatMark(GameStructure& game);
// True while the title shows the cheat mark: a cheat key was used in this game.
bool hasCheatMark(const GameStructure& game);
// True when the character has a glyph of its own in the game's font (not the fallback).
bool hasOwnGlyph(const GameStructure& game, unsigned char code);
// The title reads "TEZMOLA".
void clearTitleCheatMark(GameStructure& game);
// The score label shows the score as eight digits.
void showScore(GameStructure& game);
// The multiplier label shows "X" and the multiplier's digit.
void showMultiplier(GameStructure& game);
// Adds points to the score (wrapping like the 32-bit counter it is) and shows it.
void addScore(GameStructure& game, std::int32_t points);

}  // namespace tezmola
