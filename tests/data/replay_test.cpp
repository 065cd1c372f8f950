// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded games that must end exactly as they did: on the shipped levels a game over that met a capsule of
// every kind and five minutes of the autopilot with up to 24 balls at once; and the autopilot on a set of
// Debian's lbreakout2-data as the importer maps it. A change to the rules that changes them raises the
// rules version (docs/replays.md) and records them again.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "data/shipped_data.h"
#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "game/checks/autopilot.h"
#include "game/checks/replay_check.h"
#include "game/field/collisions.h"
#include "game/play/game_step.h"
#include "game/play/game_structure.h"
#include "game/records/level_set.h"
#include "game/replay_watch.h"
#include "support/test_support.h"
#include "tools/import/brick_mapping.h"
#include "tools/import/lbreakout_set.h"

namespace {

using namespace tezmola;

class GoldenReplay : public ::testing::TestWithParam<const char*> {};

// Headless, and watched in the game's own field with every device busy the while: the devices reach no
// command of the game watched, which ends as it did headless.
TEST_P(GoldenReplay, ReachesTheResultItClaimsHeadlessAndWatched) {
    test::useShippedArchive();
    pentavel::openLog();
    Replay replay;
    std::string reason;
    const std::string bytes = test::readWholeFile(test::sourceDir() + "/tests/data/replays/" + GetParam());
    ASSERT_TRUE(readReplay(bytes, replay, reason)) << reason;
    // Written again, byte for byte: the layout of the file has not changed.
    EXPECT_EQ(writeReplay(replay), bytes);
    auto game = std::make_unique<GameStructure>();
    ASSERT_TRUE(pentavel::file::parseXmlDocument(game->levelDocument,
                                                 test::readWholeFile(test::dataDir() + "/level.xml")));
    const ReplayCheck check = checkReplay(replay, game->levelDocument);
    EXPECT_EQ(check.reason, "");
    EXPECT_EQ(check.verdict, ReplayVerdict::Matches)
        << "score " << check.reached.score << ", level " << check.reached.level << ", " << check.reached.balls
        << " balls";
    initialiseWithLevels(*game, nullptr);
    ReplayWatch watch(*game);
    watch.startReplay(replay);
    EXPECT_TRUE(game->watching);
    EXPECT_EQ(watch.label().text().substr(0, 8), "REPLAY  ");
    std::uint32_t steps = 0;
    for (; watch.step(); ++steps) {
        const int key[] = {32, 282, 289, 291, 293, 275};  // Space, F1, F9, F10, F12, Right
        pentavel::keyDownSignal().emit(key[steps % 6]);
        pentavel::keyUpSignal().emit(275);
        pentavel::mouseMotionSignal().emit(0.9f, -0.5f);
        pentavel::mouseButtonDownSignal().emit(0, 0.0f, 0.0f);
        pentavel::joyAxisSignal().emit(0, 0, 32767);
        pentavel::joyButtonDownSignal().emit(0, 0);
    }
    EXPECT_EQ(steps, replay.record.steps);
    EXPECT_FALSE(watch.step());
    EXPECT_TRUE(resultOf(*game) == replay.claim);
    // A second watch, the demo without a replay, is the autopilot's, which plays level 1 to its end and
    // not the replay watched before to the replay's.
    watch.stop();
    watch.startDemo(nullptr);
    std::uint32_t demoSteps = 0;
    while (watch.step())
        ++demoSteps;
    EXPECT_TRUE(game->levelNumber != 1 || !game->playing) << demoSteps << " of " << replay.record.steps;
    watch.stop();
    game.reset();
    pentavel::closeLog();
}

INSTANTIATE_TEST_SUITE_P(Shipped, GoldenReplay, ::testing::Values("game_over.tzr", "multi_ball.tzr"));

constexpr char kImportedSet[] = "Fantaisie";
constexpr std::uint32_t kImportedSteps = 36000;  // three minutes of play

// The set's levels as the importer maps them; their titles, authors and proofs are not in the digest.
std::string importedLevels() {
    const std::string bytes =
        test::readWholeFile(std::string("/usr/share/games/lbreakout2/levels/") + kImportedSet);
    std::vector<LevelDraft> drafts;
    for (const import::SetLevel& level : import::readLevelSet(bytes).levels) {
        std::string approximated;
        drafts.push_back(
            import::importLevel(level, kImportedSet, static_cast<int>(drafts.size()) + 1, approximated));
        import::chooseBackground(drafts.back(), drafts.size() - 1);
    }
    return writeLevelSet(drafts);
}

// TEZMOLA_RECORD_REPLAYS=1 records the game again (after a change of the rules) instead of checking it.
TEST(GoldenReplayImported, TheAutopilotOnAnImportedSetReachesItsClaim) {
    test::useShippedArchive();
    pentavel::openLog();
    TiXmlDocument levels;
    ASSERT_TRUE(pentavel::file::parseXmlDocument(levels, importedLevels()))
        << "the package lbreakout2-data is missing (scripts/install-deps.sh)";
    const std::string path = test::sourceDir() + "/tests/data/replays/imported.tzr";
    if (std::getenv("TEZMOLA_RECORD_REPLAYS") != nullptr) {
        auto game = std::make_unique<GameStructure>();
        game->levelDocument = levels;
        initialiseWithLevels(*game, nullptr);
        game->recording = true;
        seedDropGenerator(2026);
        newGame(*game);
        Autopilot pilot(game->grid, game->bricksLeft, game->paddle, game->balls, game->powerUps);
        for (std::uint32_t step = 0; step < kImportedSteps; ++step)
            pilot.step();
        Replay replay;
        replay.setName = kImportedSet;
        replay.setDigest = levelSetDigest(levels);
        replay.player = "autopilot";
        replay.date = "2026-12-09";
        replay.record = game->record;
        replay.claim = resultOf(*game);
        game.reset();
        std::ofstream(path, std::ios::binary) << writeReplay(replay);
    }
    Replay replay;
    std::string reason;
    ASSERT_TRUE(readReplay(test::readWholeFile(path), replay, reason)) << reason;
    const ReplayCheck check = checkReplay(replay, levels);
    EXPECT_EQ(check.reason, "");
    EXPECT_EQ(check.verdict, ReplayVerdict::Matches)
        << "score " << check.reached.score << ", level " << check.reached.level << ", " << check.reached.balls
        << " balls";
    pentavel::closeLog();
}

}  // namespace
