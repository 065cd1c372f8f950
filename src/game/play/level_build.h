// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A level built into the game in play, and the fresh serve that starts it.

#include <cstdint>
#include <unordered_map>

#include "game/field/level.h"

namespace tezmola {

class GameStructure;
struct BrickGrid;
struct LevelSource;
struct PlayField;

// Builds level levelNumber (levels repeat after the last), then serves a fresh ball. Only the cells that
// differ from the grid's are laid again.
LevelBuild buildLevel(GameStructure& game);

// Puts a new ball on the paddle from a spare one; false (and a game over reported) when there is none,
// and false with nothing changed once the game is over.
bool serveBall(PlayField& field);

// What builds of levels one after the other with nothing between them (a run of cheat keys within a step)
// need to know: a build that ends Built with a background the sheets hold leaves the same game whatever
// the grid held before, so that the builds before it need not be laid, only logged.
class LevelOutlook {
public:
    LevelOutlook(LevelSource& levels, const BrickGrid& grid);
    // True when building level `number` (levels repeat after the last) lays the game afresh.
    bool laysAfresh(std::uint32_t number);
    // Logs what building level `number` logs, without building it.
    void logBuild(std::uint32_t number);

private:
    struct Look {
        bool read = false;
        LevelBuild outcome = LevelBuild::Built;
        bool afresh = false;
    };
    const Look& look(std::uint32_t number);

    LevelSource& levels_;
    const BrickGrid& grid_;
    std::unordered_map<std::uint32_t, Look> looks_;  // by place in the set, each read once
};

}  // namespace tezmola
