// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ball list and the spare balls: serving, launching, splitting, losing.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/graphics/sprite.h"
#include "game/field/ball.h"

namespace tezmola {

struct Paddle;

constexpr std::uint32_t kMaxLives = 39;
constexpr float kLossLine = -0.875f;    // the bottom edge less 0.125: balls and capsules below it are gone
constexpr float kOuterLine = 0.875f;    // the top edge plus the same margin: balls above it left the field
constexpr float kOuterColumn = 1.125f;  // the side edges plus that margin: balls beyond it left the field

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
// Frees every stuck ball, aimed away from the paddle's middle.
void launchBalls(std::vector<Ball>& balls, const Paddle& paddle);
// Erases every ball below the loss line or gone out of the field.
void removeLostBalls(std::vector<Ball>& balls);
// One spare ball more (at most kMaxLives), with its icon.
void addSpareBall(SpareBalls& spares);
// One spare ball fewer (none below 0), with its icon.
void removeSpareBall(SpareBalls& spares);

}  // namespace tezmola
