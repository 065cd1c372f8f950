// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a ball's collisions tell the game: shared by the ball's moves and a brick's hit.

#include <cstdint>

#include "game/field/brick_grid.h"
#include "game/field/power_up_kind.h"

namespace tezmola {

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

}  // namespace tezmola
