// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// level.xml through a game without a window: every level is built and played for a moment, announced with
// its title and author as a chosen set's levels are, and the level numbers past the last wrap to the first;
// the shelf's reading of the same file counts its levels and proven ones.

#include <algorithm>
#include <cstdint>

#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "fuzz_support.h"
#include "game/field/level.h"
#include "game/game_sheet.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/play/level_build.h"
#include "game/records/shelf.h"

namespace {

// Building is cheap and every level is built; each step moves all 400 cells, so play is kept short.
constexpr int kMaxLevels = 64;
constexpr int kFirstLevelSteps = 100;  // half a second: the ball reaches the lowest rows
constexpr int kOtherLevelSteps = 20;
constexpr int kSpaceKey = 32;

// Launches the ball and keeps the paddle under the lowest ball, so that play reaches the bricks.
void play(tezmola::GameStructure& game, int steps) {
    pentavel::keyDownSignal().emit(kSpaceKey);
    for (int step = 0; step < steps; ++step) {
        const tezmola::Ball* lowest = nullptr;
        for (const tezmola::Ball& ball : game.balls) {
            if (lowest == nullptr || ball.y < lowest->y)
                lowest = &ball;
        }
        if (lowest != nullptr)
            pentavel::mouseMotionSignal().emit(lowest->x, game.paddle.y);
        pentavel::updateSignal().emit(pentavel::kStepSeconds);
    }
    if (game.balls.size() > tezmola::kMaxBalls || game.spareBalls.lives > tezmola::kMaxLives)
        fuzz::fail("%zu balls in play, %u spare", game.balls.size(), game.spareBalls.lives);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::useDummyDrivers();
    test::scanGameSheet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeScratchFile("level.xml", data, size);
    fuzz::mountScratch();
    {
        tezmola::ShelfSet set;
        set.name = set.file = tezmola::kLevelFileName;
        set.source = tezmola::SetSource::PlayersFile;
        tezmola::summariseSet(set);
        if (set.problem.empty() && (set.levels < 1 || set.proven > set.levels))
            fuzz::fail("%d levels, %d proven", set.levels, set.proven);
        tezmola::GameStructure game;
        game.levelSet = set;
        game.setChosen = true;
        if (tezmola::initialiseGameStructure(game)) {
            play(game, kFirstLevelSteps);
            const int levels = std::min<int>(std::max(game.levelCount, 0), kMaxLevels);
            for (int level = 2; level <= levels + 1; ++level) {
                game.levelNumber = static_cast<std::uint32_t>(level);
                tezmola::buildLevel(game);
                play(game, kOtherLevelSteps);
            }
            game.levelNumber = UINT32_MAX;
            tezmola::buildLevel(game);
            play(game, kOtherLevelSteps);
        }
    }
    fuzz::unmountScratch();
    return 0;
}
