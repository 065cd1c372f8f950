// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Event-stepped ball movement through the brick grid and the hits it finds.

#include <cstdint>
#include <vector>

#include "game/brick_grid.h"
#include "game/power_up.h"

namespace tezmola {

struct Ball;
struct Paddle;

constexpr float kBallRadius = 0.03335f;  // margin by which a cell is enlarged before the centre test
constexpr float kPi = 3.14159f;  // the paddle's bounce turns by this pi (and the autopilot aims by it)

// Where the balls' collisions report what they did beyond the grid and the ball: the game keeps the score,
// the bricks left, the capsules, the guard and the multiplier, and plays the sounds (heard at x).
class CollisionListener {
public:
    // A ball at x damaged a brick that still stands.
    virtual void brickDamaged(float x) = 0;
    // A ball at x destroyed a brick of the kind, worth `points` before the score multiplier.
    virtual void brickDestroyed(BrickKind kind, std::int32_t points, float x) = 0;
    // A destroyed colour brick lets a capsule of its kind fall from (x, y).
    virtual void capsuleDropped(PowerUpKind kind, float x, float y) = 0;
    // A ball at x bounced off a pipe of the frame.
    virtual void pipeHit(float x) = 0;
    // A ball at x bounced off the guard row.
    virtual void guardHit(float x) = 0;
    // A ball bounced off the paddle, whose centre is at x.
    virtual void paddleTouched(float x) = 0;

protected:
    ~CollisionListener() = default;
};

// Moves every ball through dt seconds, never farther in one go than to the next cell edge that matters,
// and resolves the collisions on the way; stuck balls ride on the paddle. The sprites go where the balls end.
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
