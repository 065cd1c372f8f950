// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Frames drawn between the last two steps: a moving thing travels with the clock at any display rate, a
// jump is drawn where it lands, and the steps find every sprite where they left it.

#include "game/play/motion_blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/core/timer.h"
#include "game/field/brick_grid.h"
#include "game/field/paddle.h"
#include "game/field/power_up.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

class MotionBlendTest : public test::GameTest {
protected:
    void SetUp() override {
        startWith(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I"));
        pentavel::resetSimulationClock();
    }
    void TearDown() override { pentavel::resetSimulationClock(); }

    // One iteration of the main loop at the clock's millisecond `now`: the due steps, then the picture.
    float drawnBallX(std::uint32_t now) {
        pentavel::setLastTicks(now);
        runDueSteps(blend, *game, false);
        blend.place(*game, pentavel::stepShare());
        const float drawn = game->balls[0].body.x();
        blend.restore();
        return drawn;
    }

    MotionBlend blend;
};

// At 60 Hz the steps alone give 3, 3, 4 steps a frame, at 144 Hz 1 or 2, at 240 Hz now and then none
// (1.33x, 2x and more between frames): drawn between them the ball's travel follows the clock's time.
TEST_F(MotionBlendTest, AFreeBallTravelsWithTheClockAtEveryRate) {
    for (int rate : {60, 144, 240}) {
        onlyBall(-0.6f, 0.1f, 0.4f, 0.0f);
        pentavel::resetSimulationClock();
        std::vector<float> perMillisecond;
        std::uint32_t before = 0;
        float drawnBefore = 0.0f;
        for (int frame = 0; frame < 40; ++frame) {
            const std::uint32_t now = 10000u + static_cast<std::uint32_t>(frame * 1000 / rate);
            const float drawn = drawnBallX(now);
            // The first frames start the clock and see the ball's speed-up at its first step.
            if (frame >= 3)
                perMillisecond.push_back((drawn - drawnBefore) / static_cast<float>(now - before));
            before = now;
            drawnBefore = drawn;
        }
        const auto [slowest, fastest] = std::minmax_element(perMillisecond.begin(), perMillisecond.end());
        EXPECT_GT(*slowest, 0.0f) << rate << " Hz";
        EXPECT_LT(*fastest / *slowest, 1.01f) << rate << " Hz";
    }
}

// A ball with a nimbus turning past 0 degrees, a falling capsule, the paddle steered and a knocked brick
// springing back: each drawn a quarter of its way through the step, each sprite put back whole after.
TEST_F(MotionBlendTest, EveryMovingThingIsDrawnAtItsShareOfTheStepAndPutBack) {
    Ball& ball = onlyBall(-0.3f, 0.1f, 0.5f, 0.3f, NimbusKind::Fire);
    ball.nimbusAngle = 0.2f;
    dropPowerUp(game->powerUps, PowerUpKind::Red, 0.5f, 0.3f);
    game->paddle.x = -0.2f;
    placePaddle(game->paddle);
    game->paddle.direction = kPaddleRight;
    // Three bricks knocked: one springing back, one home within the step, one knocked again in it.
    const auto knock = [this](int column, float dx, float dy) -> BrickCell& {
        BrickCell& brick = cell(3, column);
        brick.currentX = brick.homeX + dx;
        brick.currentY = brick.homeY + dy;
        brick.knocked = true;
        startSpringBack(game->grid, 3, column);
        return brick;
    };
    BrickCell& knocked = knock(5, 0.02f, -0.01f);
    BrickCell& home = knock(7, 0.003f, 0.0f);
    BrickCell& again = knock(9, 0.01f, 0.0f);
    blend.takeBefore(*game);
    blend.takeBefore(*game);  // a frame's second look replaces the first
    const Ball was = game->balls[0];
    const float capsuleWas = game->powerUps[0].y;
    const float paddleWas = game->paddle.x;
    const float paddleWasY = game->paddle.y;
    const float brickWasX = knocked.currentX;
    const float brickWasY = knocked.currentY;
    step();
    ASSERT_FALSE(home.knocked);
    again.currentX += 0.03f;
    again.brick.setPosition(again.currentX, again.currentY);
    // A free paddle taken down by the pointer after the step.
    game->paddle.y -= 0.01f;
    placePaddle(game->paddle);
    const Ball& now = game->balls[0];
    const PowerUp& capsule = game->powerUps[0];
    ASSERT_NE(was.y, now.y);
    ASSERT_GT(now.nimbusAngle, 359.0f);
    ASSERT_NE(was.nimbusScale, now.nimbusScale);
    std::vector<const pentavel::graphics::Sprite*> sprites = {
        &now.body,          &now.nimbus,          &now.shadow,    &capsule.capsule, &capsule.shadow,
        &game->paddle.body, &game->paddle.shadow, &knocked.brick, &knocked.shadow};
    struct Look {
        float x, y, rotation, width, height;
    };
    // Where a frame shows them without a blend: where they stand.
    MotionBlend().place(*game, 1.0f);
    std::vector<Look> exact;
    for (const pentavel::graphics::Sprite* sprite : sprites)
        exact.push_back({sprite->x(), sprite->y(), sprite->rotation(), sprite->width(), sprite->height()});

    blend.place(*game, 0.25f);
    const auto quarter = [](float from, float to) { return from + (to - from) * 0.25f; };
    EXPECT_FLOAT_EQ(quarter(was.x, now.x), now.body.x());
    EXPECT_FLOAT_EQ(quarter(was.y, now.y), now.body.y());
    EXPECT_FLOAT_EQ(quarter(was.y, now.y) + kShadowOffsetY, now.shadow.y());
    EXPECT_NEAR(0.2f - 0.25f * (360.2f - now.nimbusAngle), now.nimbus.rotation(), 1e-4f);
    EXPECT_FLOAT_EQ(exact[1].width * quarter(was.nimbusScale, now.nimbusScale) / now.nimbusScale,
                    now.nimbus.width());
    EXPECT_FLOAT_EQ(quarter(capsuleWas, capsule.y), capsule.capsule.y());
    EXPECT_FLOAT_EQ(quarter(capsuleWas, capsule.y) + kShadowOffsetY, capsule.shadow.y());
    EXPECT_FLOAT_EQ(quarter(paddleWas, game->paddle.x), game->paddle.body.x());
    EXPECT_FLOAT_EQ(quarter(paddleWasY, game->paddle.y), game->paddle.body.y());
    EXPECT_FLOAT_EQ(quarter(brickWasX, knocked.currentX) + kShadowOffsetX, knocked.shadow.x());
    EXPECT_FLOAT_EQ(quarter(brickWasY, knocked.currentY) + kShadowOffsetY, knocked.shadow.y());
    EXPECT_FLOAT_EQ(quarter(brickWasY, knocked.currentY), knocked.brick.y());
    EXPECT_EQ(home.homeX, home.brick.x());
    EXPECT_EQ(again.currentX, again.brick.x());
    EXPECT_EQ(cell(3, 6).brick.x(), cell(3, 6).homeX);

    // After the draw the knocked brick is where the step put it; at a share of 1 all stand where they are.
    blend.restore();
    EXPECT_EQ(exact[7].y, knocked.brick.y());
    EXPECT_EQ(exact[8].x, knocked.shadow.x());
    blend.place(*game, 1.0f);
    for (std::size_t index = 0; index < sprites.size(); ++index) {
        EXPECT_EQ(exact[index].x, sprites[index]->x()) << index;
        EXPECT_EQ(exact[index].y, sprites[index]->y()) << index;
        EXPECT_EQ(exact[index].rotation, sprites[index]->rotation()) << index;
        EXPECT_EQ(exact[index].width, sprites[index]->width()) << index;
        EXPECT_EQ(exact[index].height, sprites[index]->height()) << index;
    }
    EXPECT_EQ(now.x, now.body.x());
    EXPECT_GT(now.nimbusAngle, 359.0f);
    EXPECT_EQ(capsule.y, capsule.capsule.y());
}

TEST_F(MotionBlendTest, AJumpIsDrawnWhereItLands) {
    onlyBall(-0.6f, 0.0f, 0.4f, 0.0f);
    drawnBallX(10000);
    drawnBallX(10017);
    // A level laid between the steps and the draw: the new serve rests on the paddle, drawn right there.
    pentavel::setLastTicks(10033);
    runDueSteps(blend, *game, false);
    press(293);  // F12
    ASSERT_EQ(1u, game->balls.size());
    ASSERT_TRUE(game->balls[0].stuck);
    ASSERT_GT(pentavel::stepShare(), 0.0f);
    blend.place(*game, pentavel::stepShare());
    EXPECT_EQ(game->balls[0].x, game->balls[0].body.x());
    EXPECT_EQ(game->balls[0].y, game->balls[0].body.y());
    blend.restore();

    // A ball lost in the one step of a frame and served anew: drawn on the paddle, not on the way there.
    onlyBall(game->paddle.x, -0.9f, 0.0f, -1.0f);
    const auto into = static_cast<std::uint32_t>(pentavel::stepShare() * 5.0f + 0.5f);
    pentavel::setLastTicks(10033 - into + 7);
    runDueSteps(blend, *game, false);
    ASSERT_FLOAT_EQ(0.4f, pentavel::stepShare());
    ASSERT_TRUE(game->balls[0].stuck);
    blend.place(*game, pentavel::stepShare());
    EXPECT_EQ(game->balls[0].y, game->balls[0].body.y());
    blend.restore();
}

}  // namespace
