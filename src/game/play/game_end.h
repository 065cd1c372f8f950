// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The end of a game in play: its replay kept, its offer to the table, the board at "GAME OVER".

#include <string>

namespace tezmola {

class GameStructure;

// The game in play ends: at "GAME OVER" (gameOver true: the table is shown) or when it is left by a new game
// or by quitting. A game is offered to the table once, however it ends.
void endGame(GameStructure& game, bool gameOver);

}  // namespace tezmola
