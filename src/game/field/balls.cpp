// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/balls.h"

#include <algorithm>

#include "game/field/collisions.h"
#include "game/field/images.h"
#include "game/field/paddle.h"

namespace tezmola {

namespace {

constexpr float kIconDepth = -1.0f;

}  // namespace

void splitBall(std::vector<Ball>& balls, std::size_t index) {
    const Ball& ball = balls[index];
    Ball twin = makeBall(ball.x, ball.y, -ball.vx, ball.vy, ball.nimbusKind);
    balls.insert(balls.begin(), twin);
}

void launchBalls(std::vector<Ball>& balls, const Paddle& paddle) {
    for (Ball& ball : balls) {
        if (!ball.stuck)
            continue;
        ball.stuck = false;
        const float offset = ball.x - paddle.x;
        if ((offset > 0.0f && ball.vx < 0.0f) || (offset <= 0.0f && ball.vx > 0.0f))
            ball.vx = -ball.vx;
    }
}

void removeLostBalls(std::vector<Ball>& balls) {
    // A ball that went out through a hole in the frame (a brick laid on a frame cell and broken) would
    // fly on forever with nothing left to stop it; past the field by the loss line's margin, it is lost too.
    auto lost = [](const Ball& ball) {
        return ball.y < kLossLine || ball.y > kOuterLine || ball.x < -kOuterColumn || ball.x > kOuterColumn;
    };
    balls.erase(std::remove_if(balls.begin(), balls.end(), lost), balls.end());
}

void addSpareBall(SpareBalls& spares) {
    if (spares.lives >= kMaxLives)
        return;
    ++spares.lives;
    pentavel::graphics::Sprite icon;
    icon.setSpriteByName(kBallImage);
    icon.setColour(pentavel::graphics::Colour{0.75f, 0.75f, 0.75f, 1.0f});
    icon.setSize(spares.iconSize, spares.iconSize);
    icon.setDepth(kIconDepth);
    const float x = spares.icons.empty() ? spares.firstIconX : spares.icons.back().x() + spares.iconSize;
    icon.setPosition(x, spares.iconY);
    spares.icons.push_back(icon);
}

void removeSpareBall(SpareBalls& spares) {
    if (spares.lives == 0)
        return;
    --spares.lives;
    if (!spares.icons.empty())
        spares.icons.pop_back();
}

}  // namespace tezmola
