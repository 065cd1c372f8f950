// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every shipped level through the level checker's own code: it builds as the game builds it, with nothing
// an author would be warned about, and the autopilot clears it from a fresh serve within the checker's
// time, losing only a few balls.
//
// TEZMOLA_AUTOPILOT_STRIDE=k plays only levels 1, 1 + k, 1 + 2k ... for a quicker look; every level by
// default (about 3 s in all, 20 s under the sanitizers).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/shipped_data.h"
#include "engine/file/log.h"
#include "game/checks/level_check.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "support/test_support.h"

namespace {

constexpr int kMaxLostBallsPerLevel = 3;

int levelStride() {
    const char* value = std::getenv("TEZMOLA_AUTOPILOT_STRIDE");
    const int stride = value ? std::atoi(value) : 1;
    return stride > 0 ? stride : 1;
}

int shippedLevelCount() {
    const std::string text = test::readWholeFile(test::dataDir() + "/level.xml");
    int count = 0;
    for (size_t at = text.find("<level>"); at != std::string::npos; at = text.find("<level>", at + 1))
        ++count;
    return count;
}

std::vector<int> shippedLevels() {
    std::vector<int> levels;
    for (int n = 1; n <= shippedLevelCount(); ++n)
        levels.push_back(n);
    return levels;
}

class CheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        writable_ = test::useShippedArchive();
        pentavel::openLog();
        game_ = std::make_unique<tezmola::GameStructure>();
        ASSERT_TRUE(tezmola::initialiseGameStructure(*game_));
    }
    void TearDown() override {
        game_.reset();
        pentavel::closeLog();
    }

    std::string writable_;
    std::unique_ptr<tezmola::GameStructure> game_;
};

class AutopilotTest : public CheckerTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutopilotTest, TheCheckerClearsTheLevelWithoutWarningsLosingFewBalls) {
    const int level = GetParam();
    if ((level - 1) % levelStride() != 0)
        GTEST_SKIP() << "not in this run's subset (TEZMOLA_AUTOPILOT_STRIDE)";
    const tezmola::LevelReport report = tezmola::checkLevel(*game_, static_cast<std::uint32_t>(level));
    std::printf("%s\n", tezmola::describeLevel(report).c_str());
    EXPECT_GT(report.bricks, 0);
    EXPECT_EQ(report.verdict, tezmola::LevelVerdict::Cleared)
        << report.play.bricksLeft << " bricks left after " << report.play.seconds << " s";
    EXPECT_LE(report.play.ballsLost, kMaxLostBallsPerLevel);
    for (const tezmola::LevelNote& note : report.notes)
        ADD_FAILURE() << note.text;
    EXPECT_TRUE(game_->playing);
}

// Each check starts from a fresh serve with every spare ball, whatever the game before it came to; a level
// not cleared in the time given says how many bricks it kept.
TEST_F(CheckerTest, ACheckAfterAGameOverPlaysItsTimeAndCountsTheBricksLeft) {
    game_->playing = false;
    const tezmola::LevelReport report = tezmola::checkLevel(*game_, 2, 1.0f);
    EXPECT_EQ(report.verdict, tezmola::LevelVerdict::NotProven);
    EXPECT_FLOAT_EQ(report.play.seconds, 1.0f);
    EXPECT_GT(report.play.bricksLeft, 0);
    EXPECT_FALSE(report.play.gameOver);
    EXPECT_TRUE(game_->playing);
    EXPECT_EQ(game_->spareBalls.lives, 38u);  // the most there are, less the ball served
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, AutopilotTest, ::testing::ValuesIn(shippedLevels()),
                         [](const ::testing::TestParamInfo<int>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Level%02d", info.param);
                             return std::string(name);
                         });

}  // namespace
