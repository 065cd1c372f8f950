// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/file/file_system.h"
#include "engine/file/xml_document.h"
#include "game/display/hud.h"
#include "game/field/balls.h"
#include "game/field/guard.h"
#include "game/play/game_step.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

class GameStructureTest : public test::GameTest {
protected:
    void SetUp() override {
        std::vector<std::string> rows = test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I");
        rows[5] = "I+S0S0S0S0S0S0S0S0S0S0S0S0S0S0+I";
        startWith(rows);
    }
    void freeBalls(int count) {
        game->balls.clear();
        for (int index = 0; index < count; ++index)
            game->balls.push_back(makeBall(-0.5f + 0.03f * index, 0.0f, 0.5f, 0.5f));
    }
};

TEST_F(GameStructureTest, NewGameStartsWithFourSpareBallsAndOneBallOnThePaddle) {
    EXPECT_EQ(game->levelNumber, 1u);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->spareBalls.lives, 4u);
    EXPECT_EQ(game->spareBalls.icons.size(), 4u);
    ASSERT_EQ(game->balls.size(), 1u);
    EXPECT_TRUE(game->balls[0].stuck);
    EXPECT_TRUE(game->playing);
    EXPECT_EQ(game->bricksLeft, 14);
    drawn();
    EXPECT_EQ(game->hud.multiplierLabel.text(), "X1");
    EXPECT_EQ(game->hud.titleLabel.text(), "TEZMOLA");
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 01");
    EXPECT_FALSE(game->hud.stateLabel.visible());
    EXPECT_EQ(game->hud.noticeLabel.text(), "");  // the folder can be written
    EXPECT_FLOAT_EQ(game->spareBalls.icons[1].x() - game->spareBalls.icons[0].x(), 0.046875f);
    EXPECT_FLOAT_EQ(game->spareBalls.icons[0].y(), -0.7265625f);
}

// The notice is smaller than the other labels: it lies over the play field.
TEST_F(GameStructureTest, ANoticeIsSmallerThanTheLabels) {
    showNotice(game->hud, "NOTHING WILL BE SAVED");
    EXPECT_EQ(game->hud.noticeLabel.text(), "NOTHING WILL BE SAVED");
    EXPECT_LT(game->hud.noticeLabel.textSize(), game->hud.titleLabel.textSize());
}

// A player's folder that cannot be written is said again on the screen of a game that keeps a table; a
// level author's trial game keeps none and says nothing. In a child, as a user the modes hold to.
TEST_F(GameStructureTest, OnlyAGameWithATableSaysNothingWillBeSaved) {
    const std::string home = folder.path() + "/home";
    std::filesystem::create_directory(home);
    chmod(folder.path().c_str(), 0755);
    chmod(home.c_str(), 0555);
    const std::string levels = test::level(test::mapWith(3, "I+R1+I"));
    EXPECT_EXIT(
        {
            pentavel::file::shutDownFileSystem();
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                std::exit(5);
            setenv("HOME", home.c_str(), 1);
            unsetenv("XDG_CONFIG_HOME");
            unsetenv("XDG_DOCUMENTS_DIR");
            if (!pentavel::file::setUpFileSystem("tezmola", "Pentavel", "Tezmola"))
                std::exit(4);
            const std::unique_ptr<GameStructure> trial = makeTrialGame(levels);
            GameStructure played;
            if (trial == nullptr || !pentavel::file::parseXmlDocument(played.levelDocument, levels))
                std::exit(6);
            initialiseWithLevels(played, "highscores-A.xml");
            std::exit(trial->hud.noticeLabel.text().empty() &&
                              played.hud.noticeLabel.text() == "NOTHING WILL BE SAVED"
                          ? 0
                          : 3);
        },
        ::testing::ExitedWithCode(0), "nothing will be saved");
}

TEST_F(GameStructureTest, StuckBallRidesOnThePaddleAndSpaceLaunchesIt) {
    game->paddle.x = 0.5f;
    placePaddle(game->paddle);
    step();
    EXPECT_FLOAT_EQ(game->balls[0].x, 0.5f - 0.275f * kPaddleWidth);
    game->paddle.x = -0.5f;  // the ball now past the paddle's right reach
    placePaddle(game->paddle);
    step();
    EXPECT_FLOAT_EQ(game->balls[0].x, -0.5f + 0.275f * kPaddleWidth);
    press(32);
    step(20);
    EXPECT_FALSE(game->balls[0].stuck);
    EXPECT_GT(game->balls[0].vy, 0.0f);
    EXPECT_GT(game->balls[0].vx, 0.0f);  // it lay right of the paddle's middle
}

TEST_F(GameStructureTest, TwoBallsLostInOneStepAreBothRemovedAndANewOneIsServed) {
    freeBalls(2);
    game->balls[0].y = game->balls[1].y = -0.874f;
    game->balls[0].vy = game->balls[1].vy = -1.0f;
    game->multiplierArmed = true;
    step();
    ASSERT_EQ(game->balls.size(), 1u);
    EXPECT_TRUE(game->balls[0].stuck);
    EXPECT_EQ(game->spareBalls.lives, 3u);
    EXPECT_FALSE(game->multiplierArmed);  // the serve's first paddle touch only arms it
}

TEST_F(GameStructureTest, BallsGoneThroughAHoleInTheFrameAreLostAndANewOneIsServed) {
    freeBalls(3);
    game->balls[0].y = 0.874f;  // out over the top
    game->balls[1].x = 1.124f;  // out past the right side
    game->balls[2].x = -1.124f;
    game->balls[1].y = game->balls[2].y = 0.5f;
    game->balls[0].vy = 1.0f;
    game->balls[1].vx = 1.0f;
    game->balls[2].vx = -1.0f;
    step();
    ASSERT_EQ(game->balls.size(), 1u);
    EXPECT_TRUE(game->balls[0].stuck);
    EXPECT_EQ(game->spareBalls.lives, 3u);
}

TEST_F(GameStructureTest, LastBallLostWithoutSpareEndsTheGameAndF10RevivesIt) {
    while (game->spareBalls.lives > 0)
        press(290);  // F9
    freeBalls(1);
    game->balls[0].y = -0.9f;
    step(3);
    EXPECT_TRUE(game->balls.empty());
    EXPECT_FALSE(game->playing);
    drawn();
    EXPECT_TRUE(game->hud.stateLabel.visible());
    EXPECT_EQ(game->hud.stateLabel.text(), "GAME OVER");
    press(291);  // F10
    EXPECT_TRUE(game->playing);
    drawn();
    EXPECT_FALSE(game->hud.stateLabel.visible());
    EXPECT_EQ(game->hud.titleLabel.text(), "ZORPLEX");
    step();
    ASSERT_EQ(game->balls.size(), 1u);
    EXPECT_EQ(game->spareBalls.lives, 0u);
}

TEST_F(GameStructureTest, FinishedGameStaysOverThroughLevelKeysAndACaughtSpareBall) {
    while (game->spareBalls.lives > 0)
        press(290);  // F9
    game->balls.clear();
    step();
    ASSERT_FALSE(game->playing);
    press(293);  // F12
    press(292);  // F11
    applyPowerUp(*game, PowerUpKind::White);
    step(3);
    EXPECT_TRUE(game->balls.empty());
    EXPECT_EQ(game->spareBalls.lives, 1u);
    EXPECT_FALSE(game->playing);
    drawn();
    EXPECT_EQ(game->hud.stateLabel.text(), "GAME OVER");
    EXPECT_TRUE(game->hud.stateLabel.visible());
    press(291);  // F10 revives with both spare balls
    step();
    ASSERT_EQ(game->balls.size(), 1u);
    EXPECT_EQ(game->spareBalls.lives, 1u);
    drawn();
    EXPECT_FALSE(game->hud.stateLabel.visible());
}

TEST_F(GameStructureTest, SplitDoublesTheFreeBallsUpToThirtyTwoAndSkipsStuckOnes) {
    freeBalls(3);
    applyPowerUp(*game, PowerUpKind::Blue);
    EXPECT_EQ(game->balls.size(), 6u);

    freeBalls(30);
    applyPowerUp(*game, PowerUpKind::Blue);
    EXPECT_EQ(game->balls.size(), 32u);
    EXPECT_EQ(game->balls[1].vx, -game->balls[2].vx);  // the first split's twin, ahead of its ball

    freeBalls(20);
    game->balls[0].stuck = true;
    applyPowerUp(*game, PowerUpKind::Blue);
    EXPECT_EQ(game->balls.size(), 32u);
    int stuck = 0;
    for (const Ball& ball : game->balls)
        stuck += ball.stuck ? 1 : 0;
    EXPECT_EQ(stuck, 1);
}

TEST_F(GameStructureTest, SecondGuardCapsuleAddsAHitSoTwoBallsAreTurned) {
    applyPowerUp(*game, PowerUpKind::Green);
    const float height = game->guard.glowHeight;
    step(10);
    applyPowerUp(*game, PowerUpKind::Green);
    EXPECT_EQ(game->guard.guardCount, 2);
    EXPECT_GT(game->guard.glowHeight, height);  // not restarted
    EXPECT_EQ(cell(kGuardRow, 1).kind, BrickKind::Guard);
    EXPECT_EQ(cell(kGuardRow, 14).kind, BrickKind::Guard);
    EXPECT_EQ(cell(kGuardRow, 15).kind, BrickKind::Pipe);
    game->paddle.x = 0.8f;
    placePaddle(game->paddle);
    for (int ball = 0; ball < 2; ++ball) {
        onlyBall(-0.5f, -0.6f, 0.0f, -1.0f);
        step(60);
        EXPECT_GT(game->balls[0].vy, 0.0f);
    }
    EXPECT_EQ(game->guard.guardCount, 0);
    EXPECT_EQ(cell(kGuardRow, 7).kind, BrickKind::Empty);
    EXPECT_FALSE(game->guard.glow.visible());
}

TEST_F(GameStructureTest, GuardGlowBreathesBetweenItsBounds) {
    applyPowerUp(*game, PowerUpKind::Green);
    step(50);  // a quarter second up
    EXPECT_NEAR(game->guard.glowHeight, 0.03125f, 1e-5f);
    step(60);  // a quarter second down and 10 steps up again
    EXPECT_NEAR(game->guard.glowHeight, 0.015625f + 10 * 0.005f * 0.0625f, 1e-5f);
    drawn();
    EXPECT_NEAR(game->guard.glow.height(), 0.01f + game->guard.glowHeight, 1e-5f);
}

TEST_F(GameStructureTest, CapsuleEffectsHaveTheirCaps) {
    game->scoreMultiplier = 9;
    applyPowerUp(*game, PowerUpKind::Magenta);
    EXPECT_EQ(game->scoreMultiplier, 9);
    drawn();
    EXPECT_EQ(game->hud.multiplierLabel.text(), "X9");
    while (game->spareBalls.lives < 39)
        applyPowerUp(*game, PowerUpKind::White);
    applyPowerUp(*game, PowerUpKind::White);
    EXPECT_EQ(game->spareBalls.lives, 39u);
    EXPECT_EQ(game->spareBalls.icons.size(), 39u);
    applyPowerUp(*game, PowerUpKind::Yellow);
    applyPowerUp(*game, PowerUpKind::Red);
    EXPECT_EQ(game->balls[0].nimbusKind, NimbusKind::Ultra);
    EXPECT_EQ(game->balls[0].charges, 2);
}

TEST_F(GameStructureTest, CapsuleOnThePaddlesEdgeLineIsCaughtAndTakesEffect) {
    const Paddle& paddle = game->paddle;
    dropPowerUp(game->powerUps, PowerUpKind::Magenta, paddle.x - paddle.width / 2.0f, paddle.y + 0.0025f);
    step();
    EXPECT_TRUE(game->powerUps.empty());
    EXPECT_EQ(game->scoreMultiplier, 2);

    PowerUp outside;
    outside.x = paddle.x - paddle.width / 2.0f - 0.0001f;
    outside.y = paddle.y;
    EXPECT_FALSE(isCaught(paddle, outside));
}

TEST_F(GameStructureTest, CapsuleFallsAtHalfAUnitPerSecondAndIsGoneBelowTheLossLine) {
    dropPowerUp(game->powerUps, PowerUpKind::Red, -0.6f, 0.3f);
    step(40);
    ASSERT_EQ(game->powerUps.size(), 1u);
    EXPECT_NEAR(game->powerUps[0].y, 0.2f, 1e-5f);
    drawn();
    EXPECT_NEAR(game->powerUps[0].capsule.y(), 0.2f, 1e-5f);
    step(500);
    EXPECT_TRUE(game->powerUps.empty());
}

// A guard of several hits goes with the level.
TEST_F(GameStructureTest, ClearingTheLastBrickBuildsTheNextLevelInTheSameStep) {
    for (int capsule = 0; capsule < 3; ++capsule)
        applyPowerUp(*game, PowerUpKind::Green);
    for (int column = 1; column <= 14; ++column)
        emptyCell(cell(3, column));
    game->bricksLeft = 0;
    step();
    EXPECT_EQ(game->levelNumber, 2u);
    EXPECT_EQ(cell(3, 1).kind, BrickKind::Red);
    EXPECT_EQ(game->guard.guardCount, 0);
    EXPECT_FALSE(game->guard.glow.visible());
    EXPECT_EQ(cell(kGuardRow, 7).kind, BrickKind::Empty);
    drawn();
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 02");
}

}  // namespace
