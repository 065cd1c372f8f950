// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's bat along the bottom of the field, steered by arrow keys, joystick and pointer.

#include <cstdint>

#include "engine/core/signal.h"
#include "engine/graphics/sprite.h"

namespace tezmola {

constexpr float kPaddleY = -0.65419996f;
constexpr float kPaddleWidth = 0.26666668f;
constexpr float kPaddleHeight = 0.078125f;
constexpr float kPaddleRest = 0.03125f;       // a resting ball lies this plus a ball radius above the centre
constexpr float kPaddleMargin = 0.06666667f;  // keeps the paddle inside the side pipes
constexpr float kPaddleSpeed = 2.0f;          // units per second

enum PaddleDirection : std::int32_t { kPaddleStill = 0, kPaddleLeft = 1, kPaddleRight = 2 };

struct Paddle {
    pentavel::ScopedTracker tracker;
    pentavel::graphics::Sprite body;
    pentavel::graphics::Sprite shadow;
    std::int32_t direction = kPaddleStill;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float minX = 0.0f;
    float maxX = 0.0f;

    // updateSignal slot: moves by the direction at 2 units per second (dt in seconds); the sprites follow
    // at placePaddle.
    void move(float dt);
};

// The direction after a key press: right arrow (275) steers right, left arrow (276) left.
std::int32_t steerOnKeyDown(std::int32_t direction, int key);
// The direction after a key release: releasing the key of the current direction stops the paddle.
std::int32_t steerOnKeyUp(std::int32_t direction, int key);
// The direction after a joystick axis moves: axis 0, beyond +24000 right, -24001 or below left.
std::int32_t steerOnAxis(std::int32_t direction, int axis, int value);

// Sets the paddle's values and sprites, places it and connects its update slot.
void initPaddle(Paddle& paddle, float y, float height, float width, float margin);
// Clamps x into the paddle's range and puts the sprites at (x, y); y is never clamped.
void placePaddle(Paddle& paddle);

}  // namespace tezmola
