// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Event-stepped ball movement through the brick grid and the hits it finds.

#include <cstdint>

namespace tezmola {

struct Ball;
class GameStructure;

constexpr float kBallRadius = 0.03335f;  // margin by which a cell is enlarged before the centre test

// Moves every ball through dt seconds, never farther in one go than to the next cell edge that matters,
// and resolves the collisions on the way.
void stepBalls(GameStructure& game, float dt);
// Seconds the ball may fly before it could touch a neighbouring cell.
float timeToBoundary(const GameStructure& game, const Ball& ball);
// The brick test and its effects, then the paddle test.
void resolveCollision(GameStructure& game, Ball& ball);
// Turns a falling ball that touches the paddle by where it lands on it.
void bounceOffPaddle(GameStructure& game, Ball& ball);
// Reseeds the power-up drop generator (normally seeded from the clock at its first use).
void seedDropGenerator(std::uint32_t seed);

}  // namespace tezmola
