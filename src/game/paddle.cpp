// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/paddle.h"

#include <algorithm>

#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "game/brick_grid.h"
#include "game/images.h"

namespace tezmola {

namespace {

constexpr int kKeyRight = 275;
constexpr int kKeyLeft = 276;
constexpr int kSteeringAxis = 0;
constexpr int kAxisRight = 24000;  // above this the paddle moves right
constexpr int kAxisLeft = -24001;  // at or below this it moves left
constexpr float kBodyDepth = -4.0f;
constexpr float kShadowDepth = 0.5f;

}  // namespace

void Paddle::move(float dt) {
    if (direction == kPaddleLeft)
        x = std::max(x - kPaddleSpeed * dt, minX);
    else if (direction == kPaddleRight)
        x = std::min(x + kPaddleSpeed * dt, maxX);
    placePaddle(*this);
}

void Paddle::keyDown(int key) {
    if (key == kKeyRight)
        direction = kPaddleRight;
    else if (key == kKeyLeft)
        direction = kPaddleLeft;
}

void Paddle::keyUp(int key) {
    if ((key == kKeyRight && direction == kPaddleRight) || (key == kKeyLeft && direction == kPaddleLeft))
        direction = kPaddleStill;
}

void Paddle::axis(int /*joystick*/, int axisNumber, int value) {
    if (axisNumber != kSteeringAxis)
        return;
    if (value > kAxisRight)
        direction = kPaddleRight;
    else if (value <= kAxisLeft)
        direction = kPaddleLeft;
    else
        direction = kPaddleStill;
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
    pentavel::keyDownSignal().connect(&paddle, &Paddle::keyDown, paddle.tracker);
    pentavel::keyUpSignal().connect(&paddle, &Paddle::keyUp, paddle.tracker);
    pentavel::joyAxisSignal().connect(&paddle, &Paddle::axis, paddle.tracker);
}

void placePaddle(Paddle& paddle) {
    paddle.x = std::min(std::max(paddle.x, paddle.minX), paddle.maxX);
    paddle.body.setPosition(paddle.x, paddle.y);
    paddle.shadow.setPosition(paddle.x + kShadowOffsetX, paddle.y + kShadowOffsetY);
}

}  // namespace tezmola
