// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ball list and the spare balls: serving, launching, splitting, losing.

#include <cstddef>

namespace tezmola {

class GameStructure;

// A ball of the list splits: the new one mirrors vx and goes to the front of the list.
void splitBall(GameStructure& game, std::size_t index);
// Puts a new ball on the paddle from a spare one; false (and game over) when there is none, and false
// with nothing changed once the game is over.
bool serveBall(GameStructure& game);
// Frees every stuck ball, aimed away from the paddle's middle.
void launchBalls(GameStructure& game);
// Erases every ball below the loss line.
void removeLostBalls(GameStructure& game);
// One spare ball more (at most 39), with its icon.
void addSpareBall(GameStructure& game);
// One spare ball fewer (none below 0), with its icon.
void removeSpareBall(GameStructure& game);

}  // namespace tezmola
