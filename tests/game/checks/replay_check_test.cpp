// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The proof of a recorded game: played again, it reaches its claim or says why not, file by file.

#include "game/checks/replay_check.h"

#include <tinyxml.h>

#include <cstdio>

#include "game/checks/autopilot.h"
#include "game/play/game_commands.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

class ReplayCheckTest : public test::GameTest {
protected:
    void SetUp() override {
        levels_ = test::level(test::mapWith(3, "I+R1B1Y1G1M1W1R2B2Y2G2M2W2R1B1+I"));
        ASSERT_TRUE(start(levels_));
        game->recording = true;
        press(282);  // F1
        Autopilot pilot(game->grid, game->bricksLeft, game->paddle, game->balls, game->powerUps);
        for (int step = 0; step < 2000; ++step)
            pilot.step();
        replay_.setName = outside_.write("set.xml", levels_);
        replay_.setDigest = levelSetDigest(game->levelDocument);
        replay_.record = game->record;
        replay_.claim = resultOf(*game);
        game.reset();  // the game played again must be the only one that the signals reach
    }
    std::string save(const std::string& name, const Replay& replay) {
        return outside_.write(name, writeReplay(replay));
    }
    // What checkReplayFiles prints for the files, and its status after a colon.
    std::string check(const std::vector<std::string>& files) {
        std::FILE* out = std::tmpfile();
        const int status = checkReplayFiles(files, out);
        std::rewind(out);
        std::string text;
        for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out))
            text += static_cast<char>(c);
        std::fclose(out);
        return text + std::to_string(status);
    }

    std::string levels_;
    test::TempDir outside_;
    Replay replay_;
};

// Each file that falls short says why; the one that reaches its claim says so.
TEST_F(ReplayCheckTest, EachFileSaysWhyItFallsShort) {
    ASSERT_GT(replay_.claim.score, 0);
    Replay other = replay_;
    other.claim = GameResult{12345, 2, 1};
    const std::string claimed = save("claimed.tzr", other);
    other = replay_;
    other.rulesVersion = kRulesVersion + 1;
    const std::string rules = save("rules.tzr", other);
    other = replay_;
    other.setName = outside_.write("changed.xml", levels_ + levels_);
    const std::string changed = save("changed.tzr", other);
    other.setName = "Nowhere";
    const std::string missing = save("missing.tzr", other);
    other.setName = outside_.path() + "/gone.xml";
    const std::string gone = save("gone.tzr", other);
    other = replay_;
    other.record.startingLevel = 2;
    const std::string start = save("start.tzr", other);
    other.record.startingLevel = 0;
    const std::string zero = save("zero.tzr", other);
    other = replay_;
    other.claim.balls += 1;
    const std::string balls = save("balls.tzr", other);
    other = replay_;
    other.claim.level += 1;
    const std::string level = save("level.tzr", other);
    const std::string cut = outside_.write("cut.tzr", writeReplay(replay_).substr(0, 100));
    const std::string good = save("good.tzr", replay_);
    const std::string text = check(
        {claimed, rules, changed, missing, gone, start, zero, balls, level, cut, good, outside_.path()});
    const GameResult& reached = replay_.claim;
    const std::string result =
        "score " + std::to_string(reached.score) + ", level 1, " + std::to_string(reached.balls) + " balls";
    const std::string expected =
        claimed + ": " + result + ": NOT as claimed (score 12345, level 2, 1 ball)\n" + rules +
        ": cannot be played: recorded under rules version " + std::to_string(kRulesVersion + 1) +
        "; this game plays version " + std::to_string(kRulesVersion) + "\n" + changed +
        ": cannot be played: the level set " + outside_.path() +
        "/changed.xml has changed since the game was recorded\n" + missing +
        ": cannot be played: the level set Nowhere is missing\n" + gone +
        ": cannot be played: the level set " + outside_.path() +
        "/gone.xml cannot be read: it cannot be opened\n" + start +
        ": cannot be played: damaged: it starts on a level the set does not have\n" + zero +
        ": cannot be played: damaged: it starts on a level the set does not have\n" + balls + ": " + result +
        ": NOT as claimed (" + result.substr(0, result.rfind(',')) + ", " +
        std::to_string(reached.balls + 1) + " balls)\n" + level + ": " + result + ": NOT as claimed (score " +
        std::to_string(reached.score) + ", level 2, " + std::to_string(reached.balls) + " balls)\n" + cut +
        ": cannot be played: damaged: its checksum does not match\n" + good + ": " + result +
        ": as claimed\n" + outside_.path() + ": cannot be played: it cannot be read (";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_EQ(text.substr(text.size() - 3), ")\n1");
}

// Twelve hours with the most commands a replay holds, all level keys in two runs of one step each: a build
// that the next one lays over is not laid, so the check ends at once, where each build in turn took minutes.
TEST_F(ReplayCheckTest, TwelveHoursOfLevelKeysBuildOnlyTheLevelsThatRemain) {
    Replay crafted = replay_;
    crafted.record.steps = kMaxReplaySteps;
    crafted.record.commands.assign(kMaxRecordedCommands, TimedCommand{0, {CommandKind::LevelUp}});
    for (std::size_t index = kMaxRecordedCommands / 2 + 1000; index < kMaxRecordedCommands; ++index)
        crafted.record.commands[index] = TimedCommand{kMaxReplaySteps / 2, {CommandKind::LevelDown}};
    crafted.claim = GameResult{0, 2001, 4};
    Replay read;
    std::string reason;
    ASSERT_TRUE(readReplayFile(save("hours.tzr", crafted), read, reason)) << reason;
    TiXmlDocument levels;
    levels.Parse(levels_.c_str());
    EXPECT_EQ("", replayRefusal(read, levels));
    ASSERT_TRUE(start(levels_));
    const std::uint64_t laid = game->levelsLaid;
    RecordedRun(*game, read.record).runToEnd();
    EXPECT_TRUE(resultOf(*game) == crafted.claim);
    EXPECT_EQ(game->levelsLaid - laid, 3u);  // the new game's and one for each run
}

}  // namespace
