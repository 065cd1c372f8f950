// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/paddle.h"

#include <algorithm>

#include "engine/core/timer.h"
#include "game/field/brick_grid.h"
#include "game/field/images.h"

namespace tezmola {

namespace {

constexpr int kKeyRight = 275;
constexpr int kKeyLeft = 276;
constexpr int kSteeringAxis = 0;
constexpr int kAxisRight = 24000;  // above this the paddle moves right
constexpr int kAxisLeft = -24001;  // at or below this it moves left
constexpr float kBodyDepth = -4.0f;

}  // namespace

void Paddle::move(float dt) {
    if (direction == kPaddleLeft)
        x = std::max(x - kPaddleSpeed * dt, minX);
    else if (direction == kPaddleRight)
        x = std::min(x + kPaddleSpeed * dt, maxX);
}

std::int32_t steerOnKeyDown(std::int32_t direction, int key) {
    if (key == kKeyRight)
        return kPaddleRight;
    if (key == kKeyLeft)
        return kPaddleLeft;
    return direction;
}

std::int32_t steerOnKeyUp(std::int32_t direction, int key) {
    if ((key == kKeyRight && direction == kPaddleRight) || (key == kKeyLeft && direction == kPaddleLeft))
        return kPaddleStill;
    return direction;
}

std::int32_t steerOnAxis(std::int32_t direction, int axis, int value) {
    if (axis != kSteeringAxis)
        return direction;
    if (value > kAxisRight)
        return kPaddleRight;
    if (value <= kAxisLeft)
        return kPaddleLeft;
    return kPaddleStill;
}

void initPaddle(Paddle& paddle, float y, float height, float width, float margin) {
    paddle.y = y;
    paddle.height = height;
    paddle.width = width;
    paddle.x = 0.0f;
    paddle.direction = kPaddleStill;
    paddle.minX = -1.0f + width * 0.5f + margin;
    paddle.maxX = 1.0f - width * 0.5f - margin;
    paddle.body.setSpriteByName(kPaddleImage);
    paddle.body.setSize(width, height);
    paddle.body.setDepth(kBodyDepth);
    paddle.shadow.setSprite(paddle.body.sprite());
    paddle.shadow.setSize(width, height);
    paddle.shadow.setDepth(kShadowDepth);
    paddle.shadow.setColour(shadowColour());
    placePaddle(paddle);
    pentavel::updateSignal().connect(&paddle, &Paddle::move, paddle.tracker);
}

void placePaddle(Paddle& paddle) {
    paddle.x = std::min(std::max(paddle.x, paddle.minX), paddle.maxX);
    paddle.body.setPosition(paddle.x, paddle.y);
    paddle.shadow.setPosition(paddle.x + kShadowOffsetX, paddle.y + kShadowOffsetY);
}

}  // namespace tezmola
