// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded games on the shipped levels that must end exactly as they did: a game over that met a capsule of
// every kind, and five minutes of the autopilot with up to 24 balls at once. A change to the rules that
// changes them raises the rules version (docs/replays.md) and records them again.

#include <gtest/gtest.h>

#include "data/shipped_data.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "game/replay_check.h"
#include "support/test_support.h"

namespace {

using namespace tezmola;

class GoldenReplay : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenReplay, ReachesTheResultItClaims) {
    test::useShippedArchive();
    pentavel::openLog();
    Replay replay;
    std::string reason;
    const std::string path = test::sourceDir() + "/tests/data/replays/" + GetParam();
    const std::string bytes = test::readWholeFile(path);
    ASSERT_TRUE(readReplay(bytes, replay, reason)) << reason;
    // Written again, byte for byte: the layout of the file has not changed.
    EXPECT_EQ(writeReplay(replay), bytes);
    TiXmlDocument levels;
    ASSERT_TRUE(
        pentavel::file::parseXmlDocument(levels, test::readWholeFile(test::dataDir() + "/level.xml")));
    const ReplayCheck check = checkReplay(replay, levels);
    EXPECT_EQ(check.reason, "");
    EXPECT_EQ(check.reached.score, replay.claim.score);
    EXPECT_EQ(check.reached.level, replay.claim.level);
    EXPECT_EQ(check.reached.balls, replay.claim.balls);
    EXPECT_EQ(check.verdict, ReplayVerdict::Matches);
    pentavel::closeLog();
}

INSTANTIATE_TEST_SUITE_P(Shipped, GoldenReplay, ::testing::Values("game_over.tzr", "multi_ball.tzr"));

}  // namespace
