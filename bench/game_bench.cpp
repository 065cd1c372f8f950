// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one simulation step with one ball and with 32 balls at top speed, of building a full level, and
// of changing from one full level to another.

#include <benchmark/benchmark.h>
#include <physfs.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/graphics/display.h"
#include "game/field/balls.h"
#include "game/field/collisions.h"
#include "game/field/guard.h"
#include "game/field/images.h"
#include "game/field/level.h"
#include "game/field/power_up.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/play/level_build.h"
#include "game/play/motion_blend.h"

namespace {

using namespace tezmola;

// Every cell of rows 1..18 holds a strong brick; the bottom rows stay open for the balls.
std::string fullLevel(const char* steelRow, const char* colourRow) {
    std::string map = std::string(32, '-') + "\n";
    for (int row = 1; row <= 18; ++row)
        map += std::string("I+") + (row % 3 == 0 ? steelRow : colourRow) + "+I\n";
    return "<level><tezm>" + map +
           "</tezm><background sprite=\"tile\" red=\"1\" green=\"1\" blue=\"1\"/></level>";
}

std::string fullLevelFile() {
    return fullLevel("S0S0S0S0S0S0S0S0S0S0S0S0S0S0", "R9B9Y9G9M9W9R9B9Y9G9M9W9R9B9");
}

// A GameStructure over a level file in a fresh temporary folder.
std::unique_ptr<GameStructure> startGame() {
    static std::string folder = [] {
        char pattern[] = "/tmp/tezmola-bench-XXXXXX";
        const std::string path = mkdtemp(pattern);
        std::ofstream(path + "/level.xml") << fullLevelFile();
        // A sheet that names every image the game looks up, as the game's own does; never drawn.
        std::ofstream sheet(path + "/bench.svg");
        sheet << "<svg width=\"2000\" height=\"20\"><g>\n";
        std::vector<std::string> names = gameImageNames();
        names.push_back("tile");
        for (std::size_t index = 0; index < names.size(); ++index)
            sheet << "<rect id=\"" << names[index] << "\" x=\"" << index
                  << "\" y=\"0\" width=\"1\" height=\"1\"/>\n";
        sheet << "</g></svg>\n";
        sheet.close();
        std::ofstream(path + "/bench.png") << "not drawn";
        if (!PHYSFS_isInit())
            PHYSFS_init("tezmola-bench");
        PHYSFS_mount(path.c_str(), nullptr, 1);
        pentavel::graphics::scanSpriteSheets();
        return path;
    }();
    auto game = std::make_unique<GameStructure>();
    if (!initialiseGameStructure(*game))
        return nullptr;
    game->guard.guardCount = 1000000;  // a bottom that never runs out keeps every ball in play
    raiseGuard(game->guard, game->grid);
    seedDropGenerator(1);
    return game;
}

// Balls spread over the open rows, flying at the given speed in random directions.
void throwBalls(GameStructure& game, int count, float speed, std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    game.balls.clear();
    for (int index = 0; index < count; ++index) {
        const float angle = 0.3f + unit(random) * 2.5f;
        game.balls.push_back(makeBall(-0.8f + 1.6f * unit(random), -0.55f + 0.25f * unit(random),
                                      speed * std::cos(angle), speed * std::sin(angle)));
    }
    game.powerUps.clear();
}

void runSteps(benchmark::State& state, int balls, float speed) {
    auto game = startGame();
    if (!game) {
        state.SkipWithError("cannot start the game");
        return;
    }
    std::mt19937 random(7);
    throwBalls(*game, balls, speed, random);
    int steps = 0;
    for (auto _ : state) {
        updateGame(*game, 0.005f);
        if (++steps % 400 == 0 || game->balls.size() < static_cast<std::size_t>(balls)) {
            state.PauseTiming();
            buildLevel(*game);
            game->guard.guardCount = 1000000;
            raiseGuard(game->guard, game->grid);
            throwBalls(*game, balls, speed, random);
            state.ResumeTiming();
        }
    }
}

void BM_UpdateGameOneBall(benchmark::State& state) {
    runSteps(state, 1, 2.0f);
}
BENCHMARK(BM_UpdateGameOneBall)->Unit(benchmark::kMicrosecond);

void BM_UpdateGameThirtyTwoBallsAtTopSpeed(benchmark::State& state) {
    runSteps(state, 32, 8.0f);
}
BENCHMARK(BM_UpdateGameThirtyTwoBallsAtTopSpeed)->Unit(benchmark::kMicrosecond);

// One frame's drawing pass over a full field with 32 balls and 8 capsules: where they stood before the last
// step, the blend shown and put back. It costs per frame; the checker and the importer never run it.
void BM_DrawBetweenSteps(benchmark::State& state) {
    auto game = startGame();
    if (!game) {
        state.SkipWithError("cannot start the game");
        return;
    }
    std::mt19937 random(7);
    throwBalls(*game, 32, 2.0f, random);
    for (int index = 0; index < 8; ++index)
        dropPowerUp(game->powerUps, PowerUpKind::Red, -0.7f + 0.2f * static_cast<float>(index), 0.2f);
    // The pass does the same work whether the things moved or not: a still field measures it.
    MotionBlend blend;
    for (auto _ : state) {
        blend.takeBefore(*game);
        blend.place(*game, 0.6f);
        blend.restore();
    }
}
BENCHMARK(BM_DrawBetweenSteps)->Unit(benchmark::kMicrosecond);

void BM_BuildFullLevel(benchmark::State& state) {
    auto game = startGame();
    if (!game) {
        state.SkipWithError("cannot start the game");
        return;
    }
    for (auto _ : state) {
        game->spareBalls.lives = 4;
        buildLevel(*game);
    }
}
BENCHMARK(BM_BuildFullLevel)->Unit(benchmark::kMicrosecond);

// Each build lays the other of two levels that differ in every brick: a level change, as the cheat keys or
// a level with nothing to clear make one every step.
void BM_BuildTheOtherLevel(benchmark::State& state) {
    auto game = startGame();
    if (!game) {
        state.SkipWithError("cannot start the game");
        return;
    }
    const char* weak = "R1B1Y1G1M1W1R1B1Y1G1M1W1R1B1";
    game->levelDocument.Clear();
    game->levelDocument.Parse((fullLevelFile() + fullLevel(weak, weak)).c_str());
    game->levelCount = 2;
    for (auto _ : state) {
        game->spareBalls.lives = 4;
        game->levelNumber = game->levelNumber % 2 + 1;
        buildLevel(*game);
    }
}
BENCHMARK(BM_BuildTheOtherLevel)->Unit(benchmark::kMicrosecond);

}  // namespace
