// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The end of a game in play: its replay kept, its offer to the table, the board at "GAME OVER".

#include <string>

namespace tezmola {

class GameStructure;

// The game in play has ended: its replay is written when it is worth keeping (a game over, or a game left
// with points; cheated games and practice from a later level too, but no game of a run of practice) and
// the game records, and the file's name is returned (empty for none). A replay that cannot be written is
// lost, told once a run in the log. The replay is of that date, the entry's.
std::string keepReplayOfGame(GameStructure& game, bool gameOver, const std::string& date);
// After the tables took the game: the replays no longer kept are removed, never the game's own replay.
void pruneReplaysOfGame(const GameStructure& game, const std::string& replay);
// Tries once more to save the entries that wait, before the program ends.
void saveHighScoresBeforeQuit(GameStructure& game);
// The game in play ends: at "GAME OVER" (gameOver true: the table is shown) or when it is left by a new game
// or by quitting. A game is offered to the table once, however it ends.
void endGame(GameStructure& game, bool gameOver);

}  // namespace tezmola
