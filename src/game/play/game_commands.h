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

// A game's record played again on a game that holds the record's levels: the game is put in the state the
// record started from and started at construction, ready for its step 0. The record outlives the run.
class RecordedRun {
public:
    RecordedRun(GameStructure& game, const GameRecord& record);
    // Before the record's step `step` (steps are taken in order from 0): applies the commands of that step.
    // False when the record has ended there: no step `step` is to be run.
    bool applyStep(std::uint32_t step);
    // Every step to the end with its commands, through the same step as live play.
    void runToEnd();

private:
    void changeLevels(const TimedCommand* changes, std::size_t count);

    GameStructure& game_;
    const GameRecord& record_;
    std::size_t next_ = 0;  // the first command not yet applied
};

}  // namespace tezmola
