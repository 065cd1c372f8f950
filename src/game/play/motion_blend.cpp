// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/play/motion_blend.h"

#include <cmath>

#include "engine/core/timer.h"
#include "game/field/ball.h"
#include "game/field/brick_grid.h"
#include "game/field/paddle.h"
#include "game/field/power_up.h"
#include "game/play/game_structure.h"

namespace tezmola {

namespace {

// Farther in one step than the fastest ball (8 units a second) or a capsule goes: a jump.
constexpr float kJump = 0.0625f;
// A knocked brick springs back 0.005 units a step on each axis; the knock itself is a jump of a quarter cell.
constexpr float kBrickJump = 0.01f;

bool jumped(float fromX, float fromY, float toX, float toY, float limit) {
    return std::fabs(toX - fromX) > limit || std::fabs(toY - fromY) > limit;
}

float between(float from, float to, float share) {
    return from + (to - from) * share;
}

// The nimbus turns the short way round past 0 degrees.
float angleBetween(float from, float to, float share) {
    float turn = to - from;
    if (turn > 180.0f)
        turn -= 360.0f;
    else if (turn < -180.0f)
        turn += 360.0f;
    return from + turn * share;
}

using Spot = MotionBlend::Spot;

Spot spotOf(const Ball& ball) {
    return Spot{ball.x, ball.y, ball.nimbusAngle, ball.nimbusScale};
}

Spot spotOf(const PowerUp& powerUp) {
    return Spot{powerUp.x, powerUp.y, 0.0f, 0.0f};
}

std::size_t cellCount() {
    return static_cast<std::size_t>(kGridRows) * static_cast<std::size_t>(kGridColumns);
}

}  // namespace

void MotionBlend::takeBefore(const PlayField& field) {
    taken_ = true;
    balls_.clear();
    for (const Ball& ball : field.balls)
        balls_.push_back(spotOf(ball));
    capsules_.clear();
    for (const PowerUp& powerUp : field.powerUps)
        capsules_.push_back(spotOf(powerUp));
    paddle_ = Spot{field.paddle.x, field.paddle.y};
    cells_.clear();
    const BrickCell* cells = &field.grid.cells[0][0];
    for (std::size_t index = 0; index < cellCount(); ++index) {
        if (cells[index].knocked)
            cells_.emplace_back(index, Spot{cells[index].currentX, cells[index].currentY});
    }
}

void MotionBlend::keep(pentavel::graphics::Sprite& sprite) {
    moved_.push_back(
        Moved{&sprite, sprite.x(), sprite.y(), sprite.rotation(), sprite.width(), sprite.height()});
}

void MotionBlend::place(PlayField& field, float share) {
    restore();
    // At a share of 1 everything is shown exactly where it stands.
    const bool blending = taken_ && share < 1.0f;
    // A ball or capsule that came or went moves the others along its list: then each is shown where it is.
    const auto placeEach = [blending, share](auto& things, const std::vector<Spot>& spots, auto show) {
        const bool blend = blending && spots.size() == things.size();
        for (std::size_t index = 0; index < things.size(); ++index) {
            auto& thing = things[index];
            const bool moved = blend && !jumped(spots[index].x, spots[index].y, thing.x, thing.y, kJump);
            show(thing, moved ? spots[index] : spotOf(thing), moved ? share : 1.0f);
        }
    };
    placeEach(field.balls, balls_, [](Ball& ball, const Spot& before, float part) {
        const Spot now = spotOf(ball);
        ball.x = between(before.x, now.x, part);
        ball.y = between(before.y, now.y, part);
        ball.nimbusAngle = angleBetween(before.angle, now.angle, part);
        ball.nimbusScale = between(before.scale, now.scale, part);
        placeBallSprites(ball);
        ball.x = now.x;
        ball.y = now.y;
        ball.nimbusAngle = now.angle;
        ball.nimbusScale = now.scale;
    });
    placeEach(field.powerUps, capsules_, [](PowerUp& powerUp, const Spot& before, float part) {
        // Capsules fall straight down.
        const float now = powerUp.y;
        powerUp.y = between(before.y, now, part);
        placePowerUp(powerUp);
        powerUp.y = now;
    });
    Paddle& paddle = field.paddle;
    const Spot now{paddle.x, paddle.y};
    const bool moved = blending && !jumped(paddle_.x, paddle_.y, paddle.x, paddle.y, kJump);
    paddle.x = moved ? between(paddle_.x, now.x, share) : now.x;
    paddle.y = moved ? between(paddle_.y, now.y, share) : now.y;
    placePaddle(paddle);
    paddle.x = now.x;
    paddle.y = now.y;
    placeGuardGlow(field.guard);
    if (blending)
        placeKnockedBricks(field.grid, share);
}

// The knocked bricks' sprites are the grid's own, moved by each step as they spring back: they are put back
// after the draw.
void MotionBlend::placeKnockedBricks(BrickGrid& grid, float share) {
    BrickCell* cells = &grid.cells[0][0];
    for (const auto& [index, before] : cells_) {
        BrickCell& cell = cells[index];
        if (!cell.knocked || jumped(before.x, before.y, cell.currentX, cell.currentY, kBrickJump))
            continue;
        keep(cell.brick);
        keep(cell.shadow);
        const float x = between(before.x, cell.currentX, share);
        const float y = between(before.y, cell.currentY, share);
        cell.brick.setPosition(x, y);
        cell.shadow.setPosition(x + kShadowOffsetX, y + kShadowOffsetY);
    }
}

void MotionBlend::restore() {
    for (const Moved& moved : moved_) {
        moved.sprite->setPosition(moved.x, moved.y);
        moved.sprite->setRotation(moved.rotation);
        moved.sprite->setSize(moved.width, moved.height);
    }
    moved_.clear();
}

void runDueSteps(MotionBlend& blend, const PlayField& field, bool paused) {
    for (std::uint32_t due = pentavel::takeDueSteps(paused); due > 0; --due) {
        if (due == 1)
            blend.takeBefore(field);
        pentavel::updateSignal().emit(pentavel::kStepSeconds);
    }
}

}  // namespace tezmola
