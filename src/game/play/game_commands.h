// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands applied to a game in play, and a record played again through them.

#include <cstddef>
#include <cstdint>

#include "game/records/game_record.h"

namespace tezmola {

class GameStructure;

// Applies the command to the game and, while the game records and has not ended, adds it to the record.
void applyCommand(GameStructure& game, const PlayerCommand& command);
// Puts the game in the state the record started from and starts it, ready for its step 0.
void startRecordedGame(GameStructure& game, const GameRecord& record);
// Before the record's step `step`: applies its commands of that step from `next` on, and moves `next`
// past them. False when the record has ended there: no step `step` is to be run.
bool applyRecordedStep(GameStructure& game, const GameRecord& record, std::uint32_t step, std::size_t& next);
// startRecordedGame, then every step with its commands, through the same step as live play. The game
// holds the record's levels.
void replayRecord(GameStructure& game, const GameRecord& record);

}  // namespace tezmola
