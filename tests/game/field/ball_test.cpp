// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "game/field/ball.h"
#include "game/field/balls.h"
#include "game/field/power_up.h"
#include "game/play/level_build.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

class BallTest : public test::GameTest {
protected:
    void SetUp() override { startWith(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")); }
};

TEST_F(BallTest, NimbusGainsCombineAndLastOneTouchPerPickup) {
    Ball ball = makeBall(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_FALSE(ball.nimbus.visible());
    addFire(ball);
    EXPECT_EQ(ball.nimbusKind, NimbusKind::Fire);
    EXPECT_EQ(ball.nimbus.sprite(), test::image("ball_nimbus_fire"));
    EXPECT_TRUE(ball.body.colour() == (pentavel::graphics::Colour{1.0f, 0.5f, 0.0f, 1.0f}));
    ball.hitCount = 5;
    touchPaddle(ball);
    EXPECT_EQ(ball.nimbusKind, NimbusKind::Fire);
    EXPECT_EQ(ball.hitCount, 0);
    touchPaddle(ball);
    EXPECT_EQ(ball.nimbusKind, NimbusKind::None);
    EXPECT_FALSE(ball.nimbus.visible());

    addPower(ball);
    addFire(ball);
    EXPECT_EQ(ball.nimbusKind, NimbusKind::Ultra);
    EXPECT_EQ(ball.charges, 2);
    EXPECT_EQ(ball.nimbus.sprite(), test::image("ball_nimbus_ultra"));
}

TEST_F(BallTest, FreeFlightSpeedsUpOnceASecondUpToEight) {
    Ball ball = makeBall(0.0f, 0.0f, 0.6f, 0.8f);
    for (int step = 0; step < 700; ++step)
        advanceBall(ball, 0.005f);
    EXPECT_NEAR(std::hypot(ball.vx, ball.vy), std::pow(1.01f, 4.0f), 1e-5f);

    Ball fast = makeBall(0.0f, 0.0f, 0.0f, 7.99f);
    advanceBall(fast, 0.005f);
    EXPECT_FLOAT_EQ(fast.vy, 8.0f);
    for (int step = 0; step < 250; ++step)
        advanceBall(fast, 0.005f);
    EXPECT_FLOAT_EQ(fast.vy, 8.0f);

    Ball stuck = makeBall(0.3f, 0.0f, 0.0f, -1.0f, NimbusKind::None, true);
    advanceBall(stuck, 0.5f);
    EXPECT_EQ(stuck.y, 0.0f);
    EXPECT_EQ(stuck.speedUpTimer, 0.0f);
}

TEST_F(BallTest, NimbusPulsesBetweenItsBoundsAndSpinsClockwise) {
    Ball ball = makeBall(0.0f, 0.0f, 0.0f, 0.0f, NimbusKind::Power);
    advanceBall(ball, 0.3f);  // 1.0 up to 1.2, then back by 0.1
    EXPECT_NEAR(ball.nimbusScale, 1.1f, 1e-5f);
    EXPECT_FALSE(ball.nimbusGrowing);
    EXPECT_NEAR(ball.nimbusAngle, 360.0f - 27.0f, 1e-3f);  // wrapped in the ball, not only when drawn
    placeBallSprites(ball);
    EXPECT_NEAR(ball.nimbus.width(), 1.1f * 0.0667f * 1.3f, 1e-6f);
    EXPECT_NEAR(ball.nimbus.rotation(), 360.0f - 27.0f, 1e-3f);
    EXPECT_FLOAT_EQ(ball.shadow.x(), 0.03f);
    EXPECT_EQ(ball.shadow.sprite(), ball.body.sprite());
    EXPECT_NE(ball.shadow.sprite(), 0u);
}

TEST_F(BallTest, ServedBallSitsOnThePaddleAndLaunchAimsAwayFromTheMiddle) {
    game->balls.clear();
    game->scoreMultiplier = 4;
    ASSERT_TRUE(serveBall(*game));
    const Ball& ball = game->balls.back();
    EXPECT_TRUE(ball.stuck);
    EXPECT_FLOAT_EQ(ball.y, kPaddleY + 0.03125f + 0.03335f);
    EXPECT_EQ(game->scoreMultiplier, 1);
    EXPECT_EQ(game->hud.multiplierLabel.text(), "X1");
    game->balls.back().x = game->paddle.x + 0.05f;
    game->balls.back().vx = -0.5f;
    launchBalls(game->balls, game->paddle);
    EXPECT_EQ(game->balls.back().vx, 0.5f);
}

TEST_F(BallTest, SpareBallsStopAtThirtyNineAndNeverGoNegative) {
    while (game->spareBalls.lives < 39)
        addSpareBall(game->spareBalls);
    addSpareBall(game->spareBalls);
    EXPECT_EQ(game->spareBalls.lives, 39u);
    EXPECT_FLOAT_EQ(game->spareBalls.icons.back().x(), game->spareBalls.firstIconX + 38 * 0.046875f);
    // Grey balls in front of the background and of a falling capsule's shadow, behind the balls in play.
    std::vector<PowerUp> capsules;
    dropPowerUp(capsules, PowerUpKind::White, game->spareBalls.firstIconX, game->spareBalls.iconY);
    EXPECT_LT(game->spareBalls.icons.back().depth(), capsules.back().shadow.depth());
    EXPECT_LT(capsules.back().shadow.depth(), game->grid.at(2, 2).brick.depth());  // which falls over bricks
    const pentavel::graphics::Sprite& icon = game->spareBalls.icons.back();
    EXPECT_LT(icon.colour().red, 1.0f);
    EXPECT_EQ(icon.colour().red, icon.colour().blue);
    EXPECT_LT(icon.depth(), game->background.front().depth());
    EXPECT_GT(icon.depth(), makeBall(0.0f, 0.0f, 0.0f, 0.0f).body.depth());
    while (game->spareBalls.lives > 0)
        removeSpareBall(game->spareBalls);
    removeSpareBall(game->spareBalls);
    EXPECT_EQ(game->spareBalls.lives, 0u);
    EXPECT_TRUE(game->spareBalls.icons.empty());
}

}  // namespace
