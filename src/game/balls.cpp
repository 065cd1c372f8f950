// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/balls.h"

#include <algorithm>

#include "game/collisions.h"
#include "game/game_structure.h"
#include "game/high_score_board.h"
#include "game/hud.h"
#include "game/images.h"

namespace tezmola {

namespace {

constexpr float kServeSpeed = -1.0f;  // straight down onto the paddle, which then sends it up
constexpr float kIconDepth = -1.0f;

}  // namespace

void splitBall(std::vector<Ball>& balls, std::size_t index) {
    const Ball& ball = balls[index];
    Ball twin = makeBall(ball.x, ball.y, -ball.vx, ball.vy, ball.nimbusKind);
    balls.insert(balls.begin(), twin);
}

bool serveBall(GameStructure& game) {
    // A game that is over stays over (a spare ball caught after the end does not bring it back).
    if (!game.playing)
        return false;
    if (game.spareBalls.lives == 0) {
        const bool ending = game.playing;
        game.playing = false;
        refreshStateLabel(game.hud, game.pausedShown, game.playing);
        if (ending)
            endGame(game, true);
        return false;
    }
    removeSpareBall(game.spareBalls);
    const Paddle& paddle = game.paddle;
    game.balls.push_back(
        makeBall(paddle.x, paddle.y + kPaddleRest + kBallRadius, 0.0f, kServeSpeed, NimbusKind::None, true));
    game.scoreMultiplier = 1;
    showMultiplier(game.hud, game.scoreMultiplier);
    game.multiplierArmed = false;
    return true;
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
