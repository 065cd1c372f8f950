// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <functional>

#include "engine/util/random.h"
#include "game/field/brick_hit.h"
#include "game/play/level_build.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;
using test::GameTest;
using test::image;

// A map row: the side pipes and one code at the given column.
std::string rowWith(int column, const std::string& code) {
    std::string row = "I+";
    for (int index = 1; index < 15; ++index)
        row += index == column ? code : "..";
    return row + "+I";
}

// Two steel bricks far from the action keep the level from counting as cleared.
std::vector<std::string> mapWithBrick(int row, int column, const std::string& code) {
    std::vector<std::string> rows = test::mapWith(row, rowWith(column, code));
    rows[1] = rowWith(1, "W9");
    return rows;
}

class CollisionTest : public GameTest {
protected:
    void run(std::function<bool()> condition) {
        for (int count = 0; count < 400 && !condition(); ++count)
            step();
    }
    const Ball& ball() { return game->balls.front(); }
};

// A ball that meets the face of a brick straight ahead, with the cells around it empty, keeps the
// component along that face, whether it comes straight or slanted.
TEST_F(CollisionTest, BallHittingTheFaceOfABrickReversesOnlyTheComponentTowardsIt) {
    startWith(mapWithBrick(5, 7, "R2"));
    onlyBall(cellCentreX(7), cellCentreY(9), 0.0f, 1.0f);
    run([&] { return ball().vy < 0.0f; });
    EXPECT_LT(ball().vy, 0.0f);
    EXPECT_EQ(ball().vx, 0.0f);
    EXPECT_EQ(cell(5, 7).hitPoints, 1);
    EXPECT_EQ(cell(5, 7).brick.sprite(), image("brick"));
    EXPECT_LT(ball().y, cellTop(6) + kBallRadius + 0.001f);

    const struct {
        float x, y, vx, vy;
        bool turnsVx;
    } slanted[] = {
        {cellCentreX(7), cellCentreY(8), -0.3f, 1.0f, false},      // from below, rising to the left
        {cellCentreX(7), cellCentreY(8), 0.3f, 1.0f, false},       // from below, rising to the right
        {cellCentreX(6), cellCentreY(5), 1.0f, 0.3f, true},        // from the left, rising
        {cellCentreX(6), cellCentreY(5), 1.0f, -0.3f, true},       // from the left, falling
        {cellLeft(7) - 0.01f, cellCentreY(8), 0.0f, 1.0f, false},  // straight up, the brick up to its right
    };
    for (const auto& approach : slanted) {
        fillCell(cell(5, 7), BrickKind::Red, 2);
        onlyBall(approach.x, approach.y, approach.vx, approach.vy);
        run([&] { return cell(5, 7).hitPoints < 2; });
        EXPECT_EQ(cell(5, 7).hitPoints, 1);
        EXPECT_EQ(ball().vx * approach.vx < 0.0f, approach.turnsVx) << approach.vx << ", " << approach.vy;
        EXPECT_EQ(ball().vy * approach.vy < 0.0f, !approach.turnsVx) << approach.vx << ", " << approach.vy;
    }
}

TEST_F(CollisionTest, SlantedBallReachingABrickCornerReversesBothComponents) {
    startWith(mapWithBrick(5, 7, "R2"));
    const float cornerX = cellLeft(7);
    const float cornerY = cellTop(6);
    onlyBall(cornerX - 0.1f, cornerY - 0.1f, 1.0f, 1.0f);
    run([&] { return ball().vx < 0.0f || ball().vy < 0.0f; });
    EXPECT_LT(ball().vx, 0.0f);
    EXPECT_LT(ball().vy, 0.0f);
    EXPECT_EQ(cell(5, 7).hitPoints, 1);
}

TEST_F(CollisionTest, HitBrickIsKnockedAwayAndSpringsBackHome) {
    startWith(mapWithBrick(5, 7, "R2"));
    Ball& ball = onlyBall(cellCentreX(8), cellCentreY(6), -1.0f, 1.0f);
    EXPECT_TRUE(hitBrick(game->grid, ball, 5, 7, 6, 8, *game));  // from below and to the right
    BrickCell& brick = cell(5, 7);
    EXPECT_FLOAT_EQ(brick.currentX - brick.homeX, -1.0f / 30.0f);
    EXPECT_FLOAT_EQ(brick.currentY - brick.homeY, 1.0f / 30.0f);
    EXPECT_TRUE(brick.knocked);
    EXPECT_EQ(brick.brick.depth(), -0.1f);
    game->cellAnimation.emit(0.005f);
    EXPECT_FLOAT_EQ(brick.brick.y(), brick.currentY);
    for (int count = 0; count < 6; ++count)  // 1/30 at 1 unit a second: home in the seventh step
        game->cellAnimation.emit(0.005f);
    EXPECT_EQ(brick.currentX, brick.homeX);
    EXPECT_EQ(brick.currentY, brick.homeY);
    EXPECT_FALSE(brick.knocked);
    EXPECT_EQ(brick.brick.depth(), 0.0f);
}

// Only a brick that moves is on the cell-animation signal: knocked, it joins (once, however often it is
// knocked, and in grid order, the order in which bricks home in the same step take their depth back);
// home, it leaves. Destroyed or laid anew by a level build, it still springs back first.
TEST_F(CollisionTest, OnlyMovingBricksAreAnimatedAndEachLeavesWhenHome) {
    startWith(mapWithBrick(5, 7, "R3"));
    auto animated = [&] { return game->cellAnimation.slotCount(); };
    auto stepsHome = [&](BrickCell& brick) {
        int steps = 0;
        while (animated() > 0 && steps < 100) {
            game->cellAnimation.emit(0.005f);
            ++steps;
        }
        EXPECT_EQ(brick.currentX, brick.homeX);
        EXPECT_EQ(brick.currentY, brick.homeY);
        EXPECT_FALSE(brick.knocked);
        EXPECT_EQ(brick.brick.depth(), 0.0f);
        return steps;
    };
    EXPECT_EQ(animated(), 0u);
    BrickCell& brick = cell(5, 7);
    Ball& ball = onlyBall(cellCentreX(7), cellCentreY(6), 0.0f, 1.0f);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    game->cellAnimation.emit(0.005f);
    game->cellAnimation.emit(0.005f);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);  // again while settling: 1/30 + 1/30 - 0.01 from home
    EXPECT_EQ(animated(), 1u);
    EXPECT_EQ(stepsHome(brick), 12);

    fillCell(brick, BrickKind::Red, 2);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);  // destroyed on its way home: hidden, it goes on
    EXPECT_EQ(brick.kind, BrickKind::Empty);
    EXPECT_EQ(stepsHome(brick), 7);

    fillCell(cell(9, 2), BrickKind::Blue, 2);
    fillCell(cell(5, 6), BrickKind::Green, 2);
    fillCell(brick, BrickKind::Red, 2);
    hitBrick(game->grid, ball, 9, 2, 10, 2, *game);
    hitBrick(game->grid, ball, 5, 6, 6, 6, *game);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);  // between its two neighbours on the signal
    ASSERT_EQ(animated(), 3u);
    const pentavel::Connection* first = game->cellAnimation.head()->next;
    EXPECT_EQ(first->object, &cell(5, 6));
    EXPECT_EQ(first->next->object, &brick);
    EXPECT_EQ(first->next->next->object, &cell(9, 2));
    const float knockedY = brick.currentY;
    buildLevel(*game);  // lays the sprites at home; the next step draws the brick where it springs from
    EXPECT_EQ(brick.brick.y(), brick.homeY);
    game->cellAnimation.emit(0.005f);
    EXPECT_EQ(brick.brick.y(), knockedY - 0.005f);
    EXPECT_EQ(stepsHome(brick), 6);
}

TEST_F(CollisionTest, PowerBallDestroysWeakBricksUnturnedButIsTurnedByStrongerOnes) {
    startWith(mapWithBrick(5, 7, "R1"));
    Ball& ball = onlyBall(cellCentreX(7), cellCentreY(6), 0.0f, 1.0f, NimbusKind::Power);
    EXPECT_FALSE(hitBrick(game->grid, ball, 5, 7, 6, 7, *game));
    EXPECT_EQ(cell(5, 7).kind, BrickKind::Empty);
    fillCell(cell(5, 7), BrickKind::Red, 2);
    EXPECT_TRUE(hitBrick(game->grid, ball, 5, 7, 6, 7, *game));
    EXPECT_EQ(cell(5, 7).brick.sprite(), image("brick"));
    EXPECT_EQ(cell(5, 7).shadow.sprite(), image("brick"));
}

TEST_F(CollisionTest, FireBreaksAnyColourBrickAtOnceForDoubleScoreButSteelTakesOneHit) {
    startWith(mapWithBrick(5, 7, "R4"));
    EXPECT_EQ(cell(5, 7).brick.sprite(), image("brick_ice3"));
    game->scoreMultiplier = 3;
    Ball& ball = onlyBall(cellCentreX(7), cellCentreY(6), 0.0f, 1.0f, NimbusKind::Fire);
    EXPECT_TRUE(hitBrick(game->grid, ball, 5, 7, 6, 7, *game));
    EXPECT_EQ(cell(5, 7).kind, BrickKind::Empty);
    EXPECT_EQ(game->score, 2 * 1 * 3 * 10);
    drawn();
    EXPECT_EQ(game->hud.scoreLabel.text(), "00000060");
    fillCell(cell(5, 7), BrickKind::Steel, 24);
    EXPECT_TRUE(hitBrick(game->grid, ball, 5, 7, 6, 7, *game));
    EXPECT_EQ(cell(5, 7).hitPoints, 23);
}

TEST_F(CollisionTest, ScoreGrowsWithTheHitsSinceThePaddleAndTheMultiplier) {
    startWith(mapWithBrick(5, 7, "R3"));
    game->scoreMultiplier = 2;
    Ball& ball = onlyBall(cellCentreX(7), cellCentreY(6), 0.0f, 1.0f);
    for (int hit = 0; hit < 3; ++hit)
        hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    EXPECT_EQ(cell(5, 7).kind, BrickKind::Empty);
    EXPECT_EQ(game->score, 30 * 2);
    touchPaddle(ball);
    fillCell(cell(5, 7), BrickKind::Blue, 1);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    EXPECT_EQ(game->score, 60 + 10 * 2);
}

TEST_F(CollisionTest, SteelFallsAfterTwentyFourHitsWithoutCountingTowardsTheLevel) {
    startWith(mapWithBrick(5, 7, "S0"));
    const int bricksLeft = game->bricksLeft;
    Ball& ball = onlyBall(cellCentreX(7), cellCentreY(6), 0.0f, 1.0f);
    for (int hit = 0; hit < 23; ++hit)
        hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    EXPECT_EQ(cell(5, 7).kind, BrickKind::Steel);
    EXPECT_EQ(cell(5, 7).brick.sprite(), image("brick_steel"));
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    EXPECT_EQ(cell(5, 7).kind, BrickKind::Empty);
    EXPECT_EQ(game->bricksLeft, bricksLeft);
    EXPECT_EQ(game->score, 0);
}

TEST_F(CollisionTest, PowerUpDrawIsMadeForSteelTooAndDropsFromTheKnockedPosition) {
    startWith(mapWithBrick(5, 7, "S0"));
    std::uint32_t seed = 0;
    while (true) {  // a seed whose first draw misses and second hits
        pentavel::RandomGenerator probe(seed);
        if (!probe.oneIn(3) && probe.oneIn(3))
            break;
        ++seed;
    }
    seedDropGenerator(seed);
    Ball& ball = onlyBall(cellCentreX(7), cellCentreY(6), 0.0f, 1.0f);
    cell(5, 7).hitPoints = 1;
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    EXPECT_TRUE(game->powerUps.empty());
    fillCell(cell(5, 7), BrickKind::Green, 2);
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    game->cellAnimation.emit(0.005f);
    const float knockedY = cell(5, 7).brick.y();
    const pentavel::graphics::Colour green = cell(5, 7).brick.colour();
    hitBrick(game->grid, ball, 5, 7, 6, 7, *game);
    ASSERT_EQ(game->powerUps.size(), 1u);
    const PowerUp& capsule = game->powerUps[0];
    EXPECT_EQ(capsule.kind, PowerUpKind::Green);
    EXPECT_EQ(capsule.y, knockedY);
    EXPECT_GT(knockedY, cellCentreY(5));
    // It wears the colour of the brick it came from, and its letter fits on it.
    EXPECT_EQ(std::vector<float>({green.red, green.green, green.blue}),
              std::vector<float>({capsule.capsule.colour().red, capsule.capsule.colour().green,
                                  capsule.capsule.colour().blue}));
    EXPECT_GT(capsule.glyph.height(), 0.0f);
    EXPECT_LE(capsule.glyph.height(), capsule.capsule.height());
    EXPECT_LE(capsule.glyph.width(), capsule.capsule.width());
}

TEST_F(CollisionTest, PaddleMirrorsAtItsCentreTurnsOffItAndKeepsFifteenDegreesFromTheHorizontal) {
    startWith(mapWithBrick(5, 7, "R2"));
    const Paddle& paddle = game->paddle;
    Ball& ball = onlyBall(paddle.x, paddle.y + 0.05f, 0.6f, -0.8f);
    bounceOffPaddle(game->paddle, ball, *game);
    EXPECT_NEAR(ball.vx, 0.6f, 1e-5f);
    EXPECT_NEAR(ball.vy, 0.8f, 1e-5f);

    // Arriving 5 degrees below the horizontal: at the centre the ball leaves 15 degrees above it; off
    // the centre towards where it came from the turn is not enough, and it leaves 15 degrees below.
    const float degree = 3.14159265f / 180.0f;
    const struct {
        float offset, heading, leaves;  // ball x - paddle x; directions in degrees
    } shallowHits[] = {
        {0.0f, -5.0f, 15.0f}, {0.0f, -175.0f, 165.0f}, {-0.05f, -175.0f, -165.0f}, {0.05f, -5.0f, -15.0f}};
    for (const auto& hit : shallowHits) {
        Ball& shallow =
            onlyBall(paddle.x + hit.offset, paddle.y + 0.05f, 2.0f * std::cos(hit.heading * degree),
                     2.0f * std::sin(hit.heading * degree));
        bounceOffPaddle(game->paddle, shallow, *game);
        EXPECT_NEAR(std::atan2(shallow.vy, shallow.vx), hit.leaves * degree, 1e-5f) << hit.heading;
        EXPECT_NEAR(std::hypot(shallow.vx, shallow.vy), 2.0f, 1e-5f);
    }

    Ball& rising = onlyBall(paddle.x, paddle.y + 0.05f, 0.0f, 1.0f);
    bounceOffPaddle(game->paddle, rising, *game);
    EXPECT_EQ(rising.vy, 1.0f);

    // Off the centre a falling ball is turned towards that side.
    Ball& offCentre = onlyBall(paddle.x + 0.1f, paddle.y + 0.05f, 0.0f, -1.0f);
    bounceOffPaddle(game->paddle, offCentre, *game);
    EXPECT_NEAR(std::atan2(offCentre.vy, offCentre.vx), 3.14159f / 2.0f - 0.314159f, 1e-5f);
    // Past the paddle's end by less than the ball's radius the ball still meets it.
    Ball& edge = onlyBall(paddle.x - paddle.width * 0.5f - 0.03f, paddle.y, 0.0f, -1.0f);
    bounceOffPaddle(game->paddle, edge, *game);
    EXPECT_GT(edge.vy, 0.0f);
}

TEST_F(CollisionTest, MultiplierIsArmedByTheFirstPaddleTouchAndWornDownByLaterOnes) {
    startWith(mapWithBrick(5, 7, "R2"));
    game->scoreMultiplier = 3;
    game->multiplierArmed = false;
    const Paddle& paddle = game->paddle;
    const int expected[] = {3, 2, 1, 1};
    for (int touch = 0; touch < 4; ++touch) {
        Ball& ball = onlyBall(paddle.x, paddle.y + 0.05f, 0.0f, -1.0f);
        bounceOffPaddle(game->paddle, ball, *game);
        EXPECT_EQ(game->scoreMultiplier, expected[touch]);
    }
    EXPECT_EQ(game->hud.multiplierLabel.text(), "X1");

    game->scoreMultiplier = 3;
    game->balls.push_back(makeBall(0.0f, 0.0f, 1.0f, 1.0f));
    for (int touch = 0; touch < 3; ++touch) {
        Ball& ball = game->balls.front();
        ball.x = paddle.x;
        ball.y = paddle.y + 0.05f;
        ball.vy = -1.0f;
        bounceOffPaddle(game->paddle, ball, *game);
    }
    EXPECT_EQ(game->scoreMultiplier, 3);
}

TEST_F(CollisionTest, BallInsideAnOccupiedCellIsNotStoppedByIt) {
    startWith(mapWithBrick(5, 7, "R2"));
    onlyBall(cellCentreX(7), cellCentreY(5), 0.0f, -1.0f);
    step(4);
    EXPECT_LT(ball().vy, 0.0f);
    EXPECT_EQ(cell(5, 7).hitPoints, 2);
}

// Where the next stop falls: at the first line where a ball could touch a neighbouring brick, also for a
// ball flying level (no vertical speed to bound the flight) and for one that stands exactly on a line.
TEST_F(CollisionTest, ABallStopsNextWhereItCouldFirstTouchTheNextColumn) {
    auto level = [](float x, float vx) {
        Ball ball = makeBall(x, cellCentreY(9), vx, 0.0f);
        ball.speedUpTimer = -1.0f;  // no speed-up due within the flight
        return ball;
    };
    EXPECT_NEAR(timeToBoundary(level(cellCentreX(7), 1.0f)), kCellWidth * 0.5f - kBallRadius, 1e-6f);
    const float onTheEdge = cellLeft(8) - kBallRadius;  // the next column's enlarged edge: already reached
    const float toExit = timeToBoundary(level(onTheEdge, 0.5f));
    EXPECT_GT(toExit, 0.0f);
    EXPECT_LT(toExit, kBallRadius / 0.5f);
}

TEST_F(CollisionTest, AllBallsAdvanceTogetherByTheStepOfTheNearestEdge) {
    startWith(mapWithBrick(5, 7, "R2"));
    onlyBall(cellCentreX(4), cellCentreY(12), 0.0f, 1.0f);
    game->balls.push_back(makeBall(cellCentreX(10), cellCentreY(12), 0.0f, 2.0f));
    const float before0 = game->balls[0].y;
    const float before1 = game->balls[1].y;
    step();
    EXPECT_NEAR(game->balls[0].y - before0, 0.005f * 1.01f, 1e-5f);
    EXPECT_NEAR(game->balls[1].y - before1, 0.010f * 1.01f, 1e-5f);
    // The step moves no sprite; the frame draws each ball where the step ended, spin included.
    EXPECT_NE(game->balls[1].body.y(), game->balls[1].y);
    drawn();
    for (const Ball& ball : game->balls) {
        EXPECT_EQ(ball.body.y(), ball.y);
        EXPECT_EQ(ball.nimbus.rotation(), ball.nimbusAngle);
    }
}

}  // namespace
