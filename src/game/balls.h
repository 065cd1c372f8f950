// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ball list and the spare balls: serving, launching, splitting, losing.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/graphics/sprite.h"
#include "game/ball.h"

namespace tezmola {

class GameStructure;
struct Paddle;

constexpr std::uint32_t kMaxLives = 39;

// The spare balls, shown as a row of icons along the bottom edge.
struct SpareBalls {
    std::uint32_t lives = 0;  // at most kMaxLives
    std::vector<pentavel::graphics::Sprite> icons;
    float firstIconX = 0.0f;
    float iconY = 0.0f;
    float iconSize = 0.0f;  // and the step from one icon to the next
};

// A ball of the list splits: the new one mirrors vx and goes to the front of the list.
void splitBall(std::vector<Ball>& balls, std::size_t index);
// Puts a new ball on the paddle from a spare one; false (and game over) when there is none, and false
// with nothing changed once the game is over.
bool serveBall(GameStructure& game);
// Frees every stuck ball, aimed away from the paddle's middle.
void launchBalls(std::vector<Ball>& balls, const Paddle& paddle);
// Erases every ball below the loss line or gone out of the field.
void removeLostBalls(std::vector<Ball>& balls);
// One spare ball more (at most kMaxLives), with its icon.
void addSpareBall(SpareBalls& spares);
// One spare ball fewer (none below 0), with its icon.
void removeSpareBall(SpareBalls& spares);

}  // namespace tezmola
