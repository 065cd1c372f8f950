// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Property: over many random launches on random levels, no ball centre enters an occupied cell from
// outside it, and no ball leaves the field except through the bottom.

#include <cmath>
#include <random>

#include "game/field/balls.h"
#include "game/field/level.h"
#include "game/play/game_step.h"
#include "game/play/level_build.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

constexpr int kLevels = 6;
constexpr int kLaunches = 200;
constexpr int kStepsPerLaunch = 1500;

std::string randomLevels(std::mt19937& random) {
    const char* codes[] = {"R1", "B2", "Y3", "G1", "M4", "W1", "S0", "..", "..", "..", "..", ".."};
    std::string file;
    for (int level = 0; level < kLevels; ++level) {
        std::vector<std::string> rows(19, "");
        rows[0] = std::string(32, '-');
        for (int row = 1; row < 19; ++row) {
            rows[row] = "I+";
            for (int column = 1; column < 15; ++column)
                rows[row] += row > 13 ? ".." : codes[random() % 12];
            rows[row] += "+I";
        }
        file += test::level(rows);
    }
    return file;
}

struct Occupancy {
    bool occupied[kGridRows][kGridColumns];
};

Occupancy occupancyOf(const GameStructure& game) {
    Occupancy result{};
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            result.occupied[row][column] = game.grid.at(row, column).kind != BrickKind::Empty;
    return result;
}

// Strictly inside by more than the rounding of the cell formulas: a ball may run exactly along an edge.
bool insideCell(float x, float y, int row, int column) {
    constexpr float kTolerance = 1e-5f;
    return cellLeft(column) + kTolerance < x && x < cellLeft(column) + kCellWidth - kTolerance &&
           cellTop(row) - kCellHeight + kTolerance < y && y < cellTop(row) - kTolerance;
}

// True, with the cell, when the ball moved into a cell that was occupied before and after the step.
bool enteredOccupiedCell(const Occupancy& before, const Occupancy& after, float fromX, float fromY, float x,
                         float y, int& hitRow, int& hitColumn) {
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            if (!before.occupied[row][column] || !after.occupied[row][column])
                continue;
            if (insideCell(x, y, row, column) && !insideCell(fromX, fromY, row, column)) {
                hitRow = row;
                hitColumn = column;
                return true;
            }
        }
    }
    return false;
}

// As if the ball had been flying for minutes.
void speedUpTo(Ball& ball, float speed) {
    const float current = std::sqrt(ball.vx * ball.vx + ball.vy * ball.vy);
    if (current > 0.0f && current < speed) {
        ball.vx *= speed / current;
        ball.vy *= speed / current;
    }
}

class TunnellingTest : public test::GameTest {};

TEST_F(TunnellingTest, NoBallEntersAnOccupiedCellOrLeavesTheFieldExceptBelow) {
    std::mt19937 random(30);
    ASSERT_TRUE(start(randomLevels(random)));
    seedDropGenerator(30);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int violations = 0;
    for (int launch = 0; launch < kLaunches && violations < 5; ++launch) {
        game->levelNumber = 1 + random() % kLevels;
        game->spareBalls.lives = 5;
        buildLevel(*game);
        game->paddle.x = unit(random) * 1.6f - 0.8f;
        placePaddle(game->paddle);
        step();
        launchBalls(game->balls, game->paddle);
        // Some launches get a nimbus, extra balls and speed, to reach more cases.
        if (launch % 3 == 1)
            addPower(game->balls.front());
        for (int step = 0; step < kStepsPerLaunch && violations < 5; ++step) {
            if (step == 100 && launch % 2 == 0)
                applyPowerUp(*game, PowerUpKind::Blue);
            if (launch % 4 == 3)
                for (Ball& ball : game->balls)
                    speedUpTo(ball, 7.9f);
            if (!game->balls.empty())  // the paddle chases the first ball
                game->paddle.x = game->balls.front().x + (unit(random) - 0.5f) * 0.2f;
            placePaddle(game->paddle);
            const Occupancy before = occupancyOf(*game);
            std::vector<std::pair<float, float>> from;
            for (const Ball& ball : game->balls)
                from.emplace_back(ball.x, ball.y);
            const std::uint32_t level = game->levelNumber;
            const std::size_t count = game->balls.size();
            pentavel::updateSignal().emit(pentavel::kStepSeconds);
            if (game->levelNumber != level || game->balls.size() != count)
                break;  // a new level or a lost ball: the next launch starts afresh
            const Occupancy after = occupancyOf(*game);
            for (std::size_t index = 0; index < count; ++index) {
                const Ball& ball = game->balls[index];
                int row = 0;
                int column = 0;
                if (enteredOccupiedCell(before, after, from[index].first, from[index].second, ball.x, ball.y,
                                        row, column)) {
                    ADD_FAILURE() << "launch " << launch << " step " << step << ": ball from ("
                                  << from[index].first << ", " << from[index].second << ") to (" << ball.x
                                  << ", " << ball.y << ") entered cell " << row << ", " << column;
                    ++violations;
                }
                EXPECT_GT(ball.x, -1.0f + 0.06666667f - kBallRadius);
                EXPECT_LT(ball.x, 1.0f - 0.06666667f + kBallRadius);
                EXPECT_LT(ball.y, cellTop(1));
            }
        }
    }
}

}  // namespace
