// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Event-stepped ball movement through the brick grid and the hits it finds.

#include <cstdint>
#include <vector>

#include "game/field/brick_grid.h"
#include "game/field/collision_listener.h"

namespace tezmola {

struct Ball;
struct Paddle;

constexpr float kBallRadius = 0.03335f;  // margin by which a cell is enlarged before the centre test
constexpr float kPi = 3.14159f;  // the paddle's bounce turns by this pi (and the autopilot aims by it)

// Moves every ball through dt seconds, never farther in one go than to the next cell edge that matters,
// and resolves the collisions on the way; stuck balls ride on the paddle. The sprites stay where they were.
void stepBalls(std::vector<Ball>& balls, BrickGrid& grid, const Paddle& paddle, CollisionListener& listener,
               float dt);
// Seconds the ball may fly before it could touch a neighbouring cell.
float timeToBoundary(const Ball& ball);
// The brick test and its effects, then the paddle test.
void resolveCollision(BrickGrid& grid, const Paddle& paddle, Ball& ball, CollisionListener& listener);
// Turns a falling ball that touches the paddle by where it lands on it.
void bounceOffPaddle(const Paddle& paddle, Ball& ball, CollisionListener& listener);
// Reseeds the power-up drop generator (normally seeded from the clock at its first use).
void seedDropGenerator(std::uint32_t seed);
// The drop generator's state: seeding it with that value later repeats the draws from here.
std::uint32_t dropGeneratorState();

}  // namespace tezmola
