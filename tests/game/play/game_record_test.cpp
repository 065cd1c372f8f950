// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A game played through every device, recorded, and played again in a fresh game: the same end, step for
// step.

#include "game/records/game_record.h"

#include <algorithm>
#include <tuple>

#include "game/checks/autopilot.h"
#include "game/play/game_commands.h"
#include "game/play/game_step.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

// What a game reached: enough that a step played differently shows. Every value fits a double exactly.
std::vector<double> outcomeOf(const GameStructure& game) {
    std::vector<double> outcome = {static_cast<double>(game.score),
                                   static_cast<double>(game.levelNumber),
                                   static_cast<double>(game.spareBalls.lives),
                                   game.playing ? 1.0 : 0.0,
                                   game.paddle.x,
                                   game.paddle.y,
                                   static_cast<double>(game.powerUps.size()),
                                   static_cast<double>(game.record.steps)};
    for (const Ball& ball : game.balls)
        outcome.insert(outcome.end(), {ball.x, ball.y, ball.vx, ball.vy});
    return outcome;
}

bool sameCommands(const GameRecord& a, const GameRecord& b) {
    auto fields = [](const TimedCommand& c) {
        return std::make_tuple(c.step, c.command.kind, c.command.direction, c.command.x, c.command.y);
    };
    return std::equal(a.commands.begin(), a.commands.end(), b.commands.begin(), b.commands.end(),
                      [&](const TimedCommand& x, const TimedCommand& y) { return fields(x) == fields(y); });
}

class GameRecordTest : public test::GameTest {
protected:
    void SetUp() override {
        const std::string row = "I+R1B1Y1G1M1W1R2B2Y2G2M2W2R1B1+I";
        levels_ = test::level(test::mapWith(3, row)) + test::level(test::mapWith(5, row));
        ASSERT_TRUE(start(levels_));
        game->recording = true;
    }
    // A fresh game over the same levels, as a program that starts afresh has it: the paddle in the middle
    // and another capsule draw.
    void restart() {
        game.reset();
        ASSERT_TRUE(start(levels_));
        seedDropGenerator(12345);
        game->recording = true;
    }
    void autopilot(int steps) {
        Autopilot pilot(game->grid, game->bricksLeft, game->paddle, game->balls, game->powerUps);
        for (int index = 0; index < steps; ++index)
            pilot.step();
    }
    void release(int key) { pentavel::keyUpSignal().emit(key); }
    void point(float x, float y) { pentavel::mouseMotionSignal().emit(x, y); }

    std::string levels_;
};

TEST_F(GameRecordTest, ReplayRepeatsAGamePlayedWithEveryDevice) {
    // The new game starts from what the last one left: the paddle off the middle, held right and free, and
    // steps of the game before.
    step(5);
    point(0.4f, 0.0f);
    press(289);  // F8
    point(0.5f, -0.6f);
    press(275);
    seedDropGenerator(777);
    game->startingLevel = 2;
    press(282);  // F1
    pentavel::mouseButtonDownSignal().emit(0, 0.0f, 0.0f);
    step(30);
    point(0.5f, -0.5f);
    release(275);
    step(400);
    press(289);
    autopilot(3000);
    pentavel::joyAxisSignal().emit(0, 0, -30000);
    step(40);
    pentavel::joyAxisSignal().emit(0, 0, 0);
    press(293);  // F12
    press(32);
    point(0.1f, 0.0f);
    point(-0.3f, 0.0f);  // the same step: only this one counts
    press(290);          // F9
    autopilot(4000);
    press(292);  // F11
    press(291);  // F10
    autopilot(2000);
    const std::vector<double> played = outcomeOf(*game);
    const GameRecord record = game->record;
    ASSERT_TRUE(record.complete);
    EXPECT_GT(game->score, 0);
    EXPECT_EQ(game->record.steps, 9470u);

    restart();
    RecordedRun(*game, record).runToEnd();
    EXPECT_EQ(outcomeOf(*game), played);
    EXPECT_TRUE(sameCommands(game->record, record));
}

TEST_F(GameRecordTest, TheRecordEndsWithTheGameAndKeepsOnePointerMovePerStep) {
    point(0.1f, 0.0f);
    point(0.2f, 0.0f);
    press(32);
    point(0.3f, 0.0f);
    step();
    point(0.4f, 0.0f);
    ASSERT_EQ(game->record.commands.size(), 4u);
    EXPECT_EQ(game->record.commands[0].command.x, 0.2f);
    EXPECT_EQ(game->record.commands[2].command.x, 0.3f);
    EXPECT_EQ(game->record.commands[3].step, 1u);
    // The last ball lost ends the game: neither its steps nor its commands are kept after that.
    for (int spare = 0; spare < 4; ++spare)
        press(290);  // F9
    point(-0.8f, 0.0f);
    for (int steps = 0; steps < 4000 && game->playing; ++steps)
        step();
    ASSERT_FALSE(game->playing);
    const GameRecord ended = game->record;
    step(10);
    press(32);
    EXPECT_EQ(game->record.steps, ended.steps);
    EXPECT_EQ(game->record.commands.size(), ended.commands.size());

    restart();
    GameRecord record = ended;
    // What lies past the commands' end is never read.
    record.commands.reserve(record.commands.size() + 1);
    record.commands.push_back(TimedCommand{record.steps, PlayerCommand{CommandKind::LevelUp, 0, 0.0f, 0.0f}});
    record.commands.pop_back();
    RecordedRun(*game, record).runToEnd();
    EXPECT_FALSE(game->playing);
    EXPECT_EQ(game->levelNumber, 1u);
    EXPECT_EQ(game->record.steps, ended.steps);
}

// Runs of level keys within one step, over levels among which some cannot be built or name a background
// the sheets lack, with knocked bricks, a ball in flight and every spare ball: played again, each run
// reaches the same game and logs the same words, though it lays fewer levels.
TEST_F(GameRecordTest, RunsOfLevelKeysWithinAStepPlayAgainAsPlayed) {
    const std::string row = "I+R1B1Y1G1M2W1R2B2Y2G2M2W2R1B1+I";
    const auto background = [](const char* sprite) {
        return std::string("<background sprite=\"") + sprite + "\" red=\"0.5\" green=\"1\" blue=\"1\"/>";
    };
    levels_ = test::level(test::mapWith(3, row)) +
              test::level(test::mapWith(5, row), background("wide_test")) +
              test::level(test::mapWith(6, row), background("nowhere")) +
              test::level(test::mapWith(7, row), "") + "<level/>" + test::level(test::mapWith(2, row));
    // Each game ends on a run of its own: one that lays the builds before a background the sheets lack,
    // one that lays every build, since none lays the game afresh.
    const std::vector<int> there = {293, 293, 293, 293, 293, 292, 293};
    const std::vector<int> back = {292, 292, 292, 292, 292, 292, 292};
    const std::vector<std::vector<std::vector<int>>> games = {{there, back, {293, 293}},
                                                              {there, back, {293}, {293, 293}}};
    const auto play = [&](const std::vector<std::vector<int>>& runs) {
        for (int spare = 0; spare < 40; ++spare)
            press(291);  // F10
        for (const std::vector<int>& run : runs) {
            press(32);
            autopilot(700);
            for (int key : run)
                press(key);
        }
        step(3);
    };
    // The game, its grid and the words its failed builds logged.
    const auto seen = [this] {
        const pentavel::graphics::Sprite& tile = game->background[0];
        std::string seen = std::to_string(game->bricksLeft) + " " + std::to_string(tile.sprite()) + " " +
                           std::to_string(tile.colour().red) + " ";
        for (const auto& cells : game->grid.cells)
            for (const BrickCell& cell : cells)
                seen += static_cast<char>('a' + static_cast<int>(cell.kind));
        return std::make_pair(outcomeOf(*game), seen);
    };
    const auto failures = [this] {
        const std::string text = log();
        std::string lines;
        for (const char* words : {"Cannot load in level ", " is malformed"})
            for (std::size_t at = text.find(words); at != std::string::npos; at = text.find(words, at + 1))
                lines += text.substr(at > 8 ? at - 8 : 0, 30) + "|";
        return lines;
    };
    for (const auto& runs : games) {
        restart();
        play(runs);
        const auto played = seen();
        const std::string logged = failures();
        const GameRecord record = game->record;
        const std::uint64_t laid = game->levelsLaid;
        restart();
        game->recording = false;  // as a replay checked or watched
        RecordedRun(*game, record).runToEnd();
        EXPECT_EQ(seen(), played);
        EXPECT_EQ(failures(), logged);
        EXPECT_LT(game->levelsLaid, laid - 8);
    }
}

TEST_F(GameRecordTest, ARecordTooLongToKeepIsNoLongerComplete) {
    game->record.commands.resize(kMaxRecordedCommands - 1);
    press(32);
    EXPECT_TRUE(game->record.complete);
    EXPECT_EQ(game->record.commands.size(), kMaxRecordedCommands);
    press(32);
    EXPECT_FALSE(game->record.complete);
    EXPECT_EQ(game->record.commands.size(), kMaxRecordedCommands);
}

TEST_F(GameRecordTest, AGameStartedOnALevelThatCannotBeBuiltCannotBeReplayed) {
    game.reset();
    ASSERT_TRUE(
        start(test::level(test::mapWith(3, "I+R1R1+I")) + test::level(test::mapWith(3, "I+R1R1+I"), "")));
    game->recording = true;
    game->startingLevel = 2;
    press(282);
    EXPECT_FALSE(game->record.complete);
    press(32);
    EXPECT_TRUE(game->record.commands.empty());
    game->startingLevel = 1;
    press(282);
    EXPECT_TRUE(game->record.complete);
    EXPECT_EQ(makeTrialGame("<level>"), nullptr);
}

}  // namespace
