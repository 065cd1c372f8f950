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

// At 60 Hz the steps alone give 3, 3, 4 steps a frame, at 144 Hz 1 or 2, at 240 Hz now and then none:
// drawn between them the ball's travel follows the clock's time, frame after frame.
TEST_F(MotionBlendTest, AFreeBallTravelsWithTheClockAtEveryRate) {
    for (int rate : {60, 144, 240}) {
        onlyBall(-0.6f, 0.0f, 0.4f, 0.0f);
        pentavel::resetSimulationClock();
        std::vector<float> perMillisecond;
        std::vector<float> steppedPerMillisecond;
        std::uint32_t before = 0;
        float drawnBefore = 0.0f;
        float exactBefore = 0.0f;
        for (int frame = 0; frame < 40; ++frame) {
            const std::uint32_t now = 10000u + static_cast<std::uint32_t>(frame * 1000 / rate);
            const float drawn = drawnBallX(now);
            const float exact = game->balls[0].body.x();
            EXPECT_EQ(game->balls[0].x, exact) << "the step's own place is back after the draw";
            // The first frames start the clock and see the ball's speed-up at its first step.
            if (frame >= 3) {
                perMillisecond.push_back((drawn - drawnBefore) / static_cast<float>(now - before));
                steppedPerMillisecond.push_back((exact - exactBefore) / static_cast<float>(now - before));
            }
            before = now;
            drawnBefore = drawn;
            exactBefore = exact;
        }
        const auto [slowest, fastest] = std::minmax_element(perMillisecond.begin(), perMillisecond.end());
        EXPECT_GT(*slowest, 0.0f) << rate << " Hz";
        EXPECT_LT(*fastest / *slowest, 1.01f) << rate << " Hz";
        const auto [slowStep, fastStep] =
            std::minmax_element(steppedPerMillisecond.begin(), steppedPerMillisecond.end());
        EXPECT_GT(*fastStep - *slowStep, 0.1f * *fastest) << rate << " Hz: the steps alone beat";
    }
}

TEST_F(MotionBlendTest, AJumpIsDrawnWhereItLandsAndAPauseDrawsTheStepsOwnPicture) {
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
    onlyBall(0.2f, -0.9f, 0.0f, -1.0f);
    const auto into = static_cast<std::uint32_t>(pentavel::stepShare() * 5.0f + 0.5f);
    pentavel::setLastTicks(10033 - into + 7);
    runDueSteps(blend, *game, false);
    ASSERT_FLOAT_EQ(0.4f, pentavel::stepShare());
    ASSERT_TRUE(game->balls[0].stuck);
    blend.place(*game, pentavel::stepShare());
    EXPECT_EQ(game->balls[0].y, game->balls[0].body.y());
    blend.restore();

    // Paused, no step runs and the picture is the steps' own: a share of 1.
    onlyBall(-0.6f, 0.0f, 0.4f, 0.0f);
    drawnBallX(10100);
    const float drawn = drawnBallX(10117);
    EXPECT_LT(drawn, game->balls[0].x);
    blend.place(*game, 1.0f);
    EXPECT_EQ(game->balls[0].x, game->balls[0].body.x());
    blend.restore();
}

}  // namespace
