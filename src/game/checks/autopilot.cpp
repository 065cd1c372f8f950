// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/checks/autopilot.h"

#include <cmath>

#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "game/field/ball.h"
#include "game/field/brick_grid.h"
#include "game/field/collisions.h"
#include "game/play/game_structure.h"

namespace tezmola {

namespace {

constexpr int kSpaceKey = 32;
constexpr float kWallX = 1.0f - kPaddleMargin - kBallRadius;  // ball centre at the side pipes
constexpr float kFlattestBounce = 0.35f;  // radians above the horizontal that the aim keeps
constexpr float kMaxAimOffset = 0.12f;    // from the ball, so that the paddle still meets it

// Folds a straight flight between the side pipes back into the field.
float reflectIntoField(float x) {
    const float span = 2.0f * kWallX;
    float t = std::fmod(x + kWallX, 2.0f * span);
    if (t < 0.0f)
        t += 2.0f * span;
    return t <= span ? t - kWallX : span - (t - span) - kWallX;
}

}  // namespace

void Autopilot::step() {
    if (anyBallStuck())
        pentavel::keyDownSignal().emit(kSpaceKey);
    pentavel::mouseMotionSignal().emit(chooseX(), paddle_.y);
    pentavel::updateSignal().emit(pentavel::kStepSeconds);
}

bool Autopilot::anyBallStuck() const {
    for (const Ball& ball : balls_)
        if (ball.stuck)
            return true;
    return false;
}

float Autopilot::impactY() const {
    return paddle_.y + (paddle_.height + kBallSize) * 0.5f;
}

// The falling ball that reaches the paddle first, with when and where.
bool Autopilot::nextArrival(const Ball*& next, float& when, float& where) const {
    next = nullptr;
    when = 1e9f;
    for (const Ball& ball : balls_) {
        if (ball.stuck || ball.vy >= 0.0f || ball.y < impactY() - 0.02f)
            continue;
        const float t = (ball.y - impactY()) / -ball.vy;
        if (t < when) {
            when = t;
            next = &ball;
            where = reflectIntoField(ball.x + ball.vx * t);
        }
    }
    return next != nullptr;
}

// The lowest colour brick left, nearest to x among equals: usually the one the ball can reach.
bool Autopilot::target(float fromX, float& tx, float& ty) const {
    if (bricksLeft_ > bricksSeen_)
        lowestRow_ = kGridRows - 1;
    bricksSeen_ = bricksLeft_;
    for (int row = lowestRow_; row >= 0; --row) {
        float best = 1e9f;
        for (int column = 0; column < kGridColumns; ++column)
            if (isColourBrick(grid_.kindAt(row, column))) {
                const float x = cellCentreX(column);
                if (std::fabs(x - fromX) < std::fabs(best - fromX))
                    best = x;
            }
        lowestRow_ = row;
        if (best < 1e8f) {
            tx = best;
            ty = cellCentreY(row);
            return true;
        }
    }
    return false;
}

float Autopilot::chooseX() const {
    const Ball* ball = nullptr;
    float when = 0.0f;
    float where = 0.0f;
    if (!nextArrival(ball, when, where)) {
        if (balls_.empty())
            return paddle_.x;
        return catchCapsule(1e9f, balls_.front().x);
    }
    // The offset that sends the ball at the target: the bounce leaves at pi * (paddle x - ball x) - a.
    float offset = 0.0f;
    float tx = 0.0f;
    float ty = 0.0f;
    if (target(where, tx, ty)) {
        const float incoming = std::atan2(ball->vy, ball->vx);
        float wanted = std::atan2(ty - impactY(), tx - where);
        wanted = std::fmin(std::fmax(wanted, kFlattestBounce), kPi - kFlattestBounce);
        offset = (wanted + incoming) / kPi;
        offset = std::fmin(std::fmax(offset, -kMaxAimOffset), kMaxAimOffset);
    }
    return catchCapsule(when, where + offset);
}

// With time to spare before the next ball, the paddle visits a capsule that is at its height.
float Autopilot::catchCapsule(float ballArrives, float x) const {
    if (ballArrives < 0.03f)
        return x;
    for (const PowerUp& capsule : powerUps_)
        if (std::fabs(capsule.y - paddle_.y) < paddle_.height * 0.4f)
            return capsule.x;
    return x;
}

LevelPlay::LevelPlay(PlayField& field, float maxSeconds)
    : field_(field),
      player_(field.grid, field.bricksLeft, field.paddle, field.balls, field.powerUps),
      level_(field.levelNumber),
      maxSteps_(std::lround(maxSeconds / pentavel::kStepSeconds)) {
    update();
}

bool LevelPlay::step() {
    if (finished())
        return false;
    player_.step();
    ++steps_;
    // The autopilot launches every resting ball before the step, so a ball on the paddle after it is one
    // served for a ball lost in it; with no spare ball left the loss ends the game instead.
    const bool served = !field_.balls.empty() && field_.balls.back().stuck;
    if (field_.levelNumber == level_ && (served || !field_.playing))
        ++result_.ballsLost;
    update();
    return true;
}

bool LevelPlay::finished() const {
    return field_.levelNumber != level_ || !field_.playing || steps_ >= maxSteps_;
}

void LevelPlay::update() {
    result_.cleared = field_.levelNumber != level_;
    result_.gameOver = !field_.playing;
    result_.seconds = static_cast<float>(steps_) * pentavel::kStepSeconds;
    result_.bricksLeft = result_.cleared ? 0 : field_.bricksLeft;
}

Playthrough playLevel(PlayField& field, float maxSeconds) {
    LevelPlay play(field, maxSeconds);
    while (play.step()) {
    }
    return play.result();
}

}  // namespace tezmola
