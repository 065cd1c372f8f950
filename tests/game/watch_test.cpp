// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Kept games watched in the Game as the player drives it: a replay chosen on the board, the demo of a board
// left alone, a replay named on the command line. Only engine time moves them, and nothing of them is kept.

#include <filesystem>
#include <functional>
#include <tuple>

#include "engine/core/engine_signals.h"
#include "engine/core/timer.h"
#include "engine/file/settings.h"
#include "game/checks/replay_check.h"
#include "game/command_line.h"
#include "game/display/high_score_board.h"
#include "game/display/hud.h"
#include "game/game.h"
#include "game/play/game_end.h"
#include "game/records/high_scores.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kSpace = 32;
constexpr int kDown = 274;
constexpr int kRight = 275;

class WatchTest : public test::GameTest {
protected:
    void SetUp() override {
        const std::string row = "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I";
        folder.write("level.xml", test::level(test::mapWith(3, row)) + test::level(test::mapWith(4, row)));
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        pentavel::loadSettings("settings.xml");
        pentavel::openLog();
        pentavel::resetSimulationClock();
    }
    bool play(const GameOptions& options = GameOptions()) {
        game_ = std::make_unique<Game>();
        return game_->initialise(options);
    }
    // Engine time passing, a frame at most every 100 ms.
    void tick(std::uint32_t milliseconds) {
        do {
            const std::uint32_t frame = std::min<std::uint32_t>(milliseconds, 100);
            now_ += frame;
            milliseconds -= frame;
            pentavel::setLastTicks(now_);
            pentavel::tickSignal().emit();
        } while (milliseconds > 0);
    }
    // The board's first frame starts its count, then it is left alone long enough for the demo.
    void leaveAlone() {
        tick(100);
        tick(20000);
    }
    // A game launched, scoring for a while, then over: its entry refers to its replay.
    void playToGameOver() {
        tick(0);
        press(kSpace);
        tick(1500);
        GameStructure& game = structure();
        ASSERT_GT(game.score, 0);
        game.playing = false;
        endGame(game, true);
        ASSERT_TRUE(game.highScores.shown());
    }
    GameStructure& structure() { return game_->structure(); }
    const ReplayWatch& watch() { return game_->watch(); }
    // What the player's folder holds: the table and the replays.
    std::string kept() {
        std::string files = folder.read("highscores.xml");
        for (const auto& entry : std::filesystem::directory_iterator(folder.path() + "/replays"))
            files += " " + entry.path().filename().string();
        return files;
    }

    std::uint32_t now_ = 1000;
    std::unique_ptr<Game> game_;
};

// What the board's game shows and keeps, which a game watched over it must give back.
auto boardState(const GameStructure& game) {
    return std::make_tuple(game.score, game.levelNumber, game.startingLevel, game.spareBalls.lives,
                           game.record.steps, dropGeneratorState(), game.practice, game.freePaddle,
                           hasCheatMark(game.hud), game.recording, game.playing, game.gameEnded,
                           game.paddle.x, game.paddle.y, game.record.commands.size(),
                           game.powerUps.size() + game.balls.size(), game.scoreMultiplier,
                           game.paddle.direction, game.hud.multiplierLabel.text());
}

// A table of one game of the past, kept without a replay.
const char* const kOldTable =
    "<highscores><entry score=\"90000\" level=\"9\" date=\"2026-01-01\" name=\"ALPHA\" /></highscores>";

TEST_F(WatchTest, TheBoardPlaysTheChosenReplayAsRecordedAndGetsItBack) {
    folder.write("highscores.xml", kOldTable);
    ASSERT_TRUE(play());
    playToGameOver();
    GameStructure& game = structure();
    // A game over has no ball nor capsule left in the field, nor a spare ball; this one ended elsewhere
    // than the replay begins.
    game.powerUps.clear();
    game.balls.clear();
    while (game.spareBalls.lives > 0)
        removeSpareBall(game.spareBalls);
    game.paddle.direction = 1;
    game.paddle.y = -0.5f;
    game.levelNumber = game.startingLevel = 2;
    game.practice = true;
    game.paddle.x = 0.5f;
    game.scoreMultiplier = 3;
    showMultiplier(game.hud, 3);
    press(289);  // F8, a cheat: the free paddle, and the title marked
    const auto board = boardState(game);
    const std::int32_t score = game.score;
    const std::uint32_t recorded = game.record.steps;
    ASSERT_EQ("game-1.tzr", game.highScores.entries().at(1).replay);
    const std::string files = kept();
    press(kEnter);  // nothing chosen yet
    EXPECT_FALSE(watch().active());
    press(kDown);  // the game just ended first, then within the table
    EXPECT_EQ(1, game.highScores.chosen());
    press(kDown);
    EXPECT_EQ(1, game.highScores.chosen());
    press(273);  // Up
    press(273);
    EXPECT_EQ(0, game.highScores.chosen());
    const pentavel::graphics::TextLabel& mark = game.highScores.chosenMark();
    EXPECT_TRUE(mark.visible());
    const float firstRow = mark.y();
    EXPECT_FLOAT_EQ(-0.14f, firstRow);  // the first row's
    press(kEnter);
    EXPECT_FALSE(watch().active());
    EXPECT_EQ("NO REPLAY WAS KEPT OF THIS GAME", game.highScores.note().text());
    EXPECT_TRUE(game.highScores.note().visible());
    EXPECT_EQ(0.0f, game.highScores.note().x());
    press(kDown);
    EXPECT_FLOAT_EQ(firstRow - 0.05f, mark.y());  // a row lower
    EXPECT_LT(mark.x(), -0.6f);                   // left of the ranks
    press(271);                                   // keypad Enter
    ASSERT_EQ(WatchKind::Replay, watch().kind());
    EXPECT_FALSE(game.highScores.shown());
    EXPECT_FALSE(mark.visible());
    EXPECT_EQ(0, game.score);
    std::string digits = "00000000";
    pentavel::graphics::writeDigits(digits, static_cast<unsigned int>(score), 8);
    EXPECT_EQ("REPLAY  " + game.highScores.playerName() + "  " + digits + "  " + todaysDate(),
              watch().label().text());
    EXPECT_TRUE(watch().label().visible());
    EXPECT_EQ(0.0f, watch().label().x());
    // Space pauses, Right plays four steps for each step of time; F1 reaches no game.
    tick(100);
    EXPECT_EQ(20u, watch().steps());
    press(kSpace);
    EXPECT_TRUE(game.pausedShown);
    press(282);
    EXPECT_FALSE(watch().fast());
    tick(500);
    EXPECT_EQ(20u, watch().steps());
    press(kSpace);
    press(kRight);
    tick(100);
    EXPECT_EQ(100u, watch().steps());
    EXPECT_NE(std::string::npos, watch().label().text().find("4X"));
    // Just before its end the replay has the score its game had at the same step; at its end the board is
    // back.
    tick((recorded - 100) / 4 * 5);
    ASSERT_TRUE(watch().active());
    EXPECT_EQ(score, game.score);
    tick(5);
    EXPECT_FALSE(watch().active());
    EXPECT_TRUE(game.highScores.shown());
    EXPECT_EQ(board, boardState(game));
    EXPECT_EQ(1, game.highScores.chosen());  // the choice stays
    EXPECT_FALSE(watch().label().visible());
    EXPECT_TRUE(mark.visible());
    // Escape leaves a replay (paused here) for the board, not the game; the next one starts afresh.
    addSpareBall(game.spareBalls);
    const auto second = boardState(game);
    press(kEnter);
    EXPECT_TRUE(watch().label().visible());
    tick(100);
    EXPECT_EQ(20u, watch().steps());
    EXPECT_FALSE(game.balls.at(0).stuck);  // launched at its first step again
    press(kSpace);
    press(kEscape);
    EXPECT_FALSE(watch().active());
    EXPECT_FALSE(game_->paused());
    EXPECT_FALSE(game.pausedShown);
    EXPECT_TRUE(game.highScores.shown());
    EXPECT_EQ(second, boardState(game));
    EXPECT_EQ(files, kept());
    // Choices, and Enter, belong to the board: a new game plays on, its end clears the choice.
    press(282);  // F1
    press(kEnter);
    EXPECT_FALSE(watch().active());
    game.playing = false;
    endGame(game, true);
    EXPECT_EQ(-1, game.highScores.chosen());
}

TEST_F(WatchTest, TheBoardLeftAloneTwentySecondsPlaysTheDemoUntilAKeyClickOrButton) {
    // The best game with a replay plays, below one without.
    folder.write("highscores.xml", kOldTable);
    ASSERT_TRUE(play());
    playToGameOver();
    const std::string files = kept();
    tick(100);  // the board's first frame starts the count
    // Any input starts the count again; a pause or the shelf holds it off.
    for (const auto& input :
         std::vector<std::function<void()>>{[] { pentavel::mouseMotionSignal().emit(0.0f, 0.0f); },
                                            [] { pentavel::keyDownSignal().emit(304); },
                                            [] { pentavel::mouseButtonDownSignal().emit(1, 0.0f, 0.0f); },
                                            [] { pentavel::joyButtonDownSignal().emit(0, 1); }}) {
        tick(19800);
        EXPECT_EQ(0u, watch().steps());  // no demo came, however short
        input();
        tick(100);
    }
    tick(19800);
    EXPECT_EQ(0u, watch().steps());
    for (const int key : {19, 284}) {  // Pause, F3
        press(key);
        EXPECT_TRUE(key == 19 ? game_->paused() : game_->shelfView().isOpen());
        tick(25000);
        EXPECT_FALSE(watch().active());
        press(key == 19 ? 19 : kEscape);
        tick(100);
    }
    tick(19900);
    EXPECT_FALSE(watch().active());
    tick(100);
    ASSERT_EQ(WatchKind::Demo, watch().kind());
    EXPECT_EQ("DEMO", watch().label().text());
    tick(1000);
    EXPECT_EQ(200u, watch().steps());
    tick(600);  // the best game's replay, played to its end
    EXPECT_FALSE(watch().active());
    // A key, a click or a button ends the demo, back to the board.
    for (const auto& input : std::vector<std::function<void()>>{
             [this] { press('a'); }, [] { pentavel::mouseButtonDownSignal().emit(2, 0.0f, 0.0f); },
             [] { pentavel::joyButtonDownSignal().emit(0, 3); }}) {
        leaveAlone();
        ASSERT_TRUE(watch().active());
        input();
        EXPECT_FALSE(watch().active());
        EXPECT_TRUE(structure().highScores.shown());
    }
    EXPECT_EQ(files, kept());
}

TEST_F(WatchTest, WithoutAReplayThatPlaysTheAutopilotPlaysTheFirstLevelAsTheDemo) {
    folder.write("highscores.xml",
                 "<highscores><entry score=\"90000\" level=\"9\" date=\"2026-01-01\" name=\"ALPHA\" "
                 "replay=\"game-9.tzr\" /><entry score=\"80000\" level=\"8\" date=\"2026-01-01\" "
                 "name=\"BRAVO\" replay=\"game-8.tzr\" /><entry score=\"70000\" level=\"7\" "
                 "date=\"2026-01-01\" name=\"CHARLIE\" replay=\"game-12.tzr\" /></highscores>");
    Replay other;  // of levels that have changed since
    other.setName = "level.xml";
    folder.write("replays/game-9.tzr", writeReplay(other));
    ASSERT_TRUE(play());
    press(289);  // F8: a cheated game enters no table
    playToGameOver();
    ASSERT_EQ(3u, structure().highScores.entries().size());
    // CHARLIE's replay, long gone, is never named again: it would be another game's.
    std::filesystem::copy_file(folder.path() + "/replays/game-13.tzr",
                               folder.path() + "/replays/game-12.tzr");
    press(kDown);  // no entry of the game: the best is chosen
    press(kDown);
    press(kDown);
    press(kEnter);
    EXPECT_FALSE(watch().active());
    EXPECT_EQ("CANNOT PLAY IT: IT IS THE REPLAY OF ANOTHER GAME", structure().highScores.note().text());
    press(273);  // Up
    press(273);
    EXPECT_EQ(0, structure().highScores.chosen());
    press(kEnter);
    EXPECT_FALSE(watch().active());
    EXPECT_EQ("CANNOT PLAY IT: THE LEVEL SET LEVEL.XML HAS CHANGED SINCE THE GAME WAS RECORDED",
              structure().highScores.note().text());
    press(kDown);  // a replay that is gone
    press(kEnter);
    EXPECT_FALSE(watch().active());
    EXPECT_EQ("CANNOT PLAY IT: IT CANNOT BE READ", structure().highScores.note().text().substr(0, 33));
    EXPECT_NE(std::string::npos, log().find("Cannot play the replay game-8.tzr (it cannot be read"));
    structure().startingLevel = 2;
    structure().paddle.x = 0.5f;
    leaveAlone();
    ASSERT_EQ(WatchKind::Demo, watch().kind());
    EXPECT_EQ(1u, structure().levelNumber);
    tick(3000);
    EXPECT_GT(structure().score, 0);  // launched and aimed by the autopilot, the free paddle kept low
    EXPECT_NE(0.5f, structure().paddle.x);
    EXPECT_NE(0.0f, structure().paddle.x);
    EXPECT_EQ(kPaddleY, structure().paddle.y);
    press(kEscape);
    EXPECT_FALSE(watch().active());
    // The demo ends with the first level: cleared, the game lost, or three minutes played.
    leaveAlone();
    ASSERT_TRUE(watch().active());
    for (int frame = 0; frame < 1801 && watch().active(); ++frame)
        tick(100);  // three minutes at most
    EXPECT_FALSE(watch().active());
    EXPECT_LT(watch().steps(), kLongestDemoSteps);  // the level was over before
    EXPECT_EQ(2u, structure().startingLevel);
}

TEST_F(WatchTest, TheCommandLinePlaysAReplayToItsEndAndRefusesOneItCannotPlay) {
    ASSERT_TRUE(play());
    press(289);  // F8: a cheated game enters no table, and keeps its replay
    playToGameOver();
    press(kDown);  // nothing to choose on an empty board
    EXPECT_EQ(-1, structure().highScores.chosen());
    const std::int32_t score = structure().score;
    const std::uint32_t recorded = structure().record.steps;
    game_.reset();
    const std::string files = kept();
    GameOptions options;
    options.replay = folder.path() + "/replays/game-1.tzr";
    ASSERT_TRUE(play(options));
    ASSERT_EQ(WatchKind::Replay, watch().kind());
    EXPECT_EQ("Tezmola: level.xml", pentavel::graphics::windowCaption());  // the set the replay names
    EXPECT_TRUE(structure().banner.heading.visible());
    tick(0);
    tick(recorded * 5 + 500);
    EXPECT_TRUE(watch().finished());
    EXPECT_TRUE(watch().active());  // held at its end until Escape quits
    EXPECT_EQ(recorded, watch().steps());
    EXPECT_EQ(score, structure().score);
    game_.reset();
    EXPECT_EQ(files, kept());
    // One for other levels, and a damaged one, are told on standard error and in the log.
    Replay replay;
    std::string reason;
    ASSERT_TRUE(readReplayFile(options.replay, replay, reason));
    replay.setDigest += 1;
    options.replay = folder.write("changed.tzr", writeReplay(replay));
    EXPECT_FALSE(play(options));
    options.replay = folder.write("bad.tzr", "TZREPLAY");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(play(options));
    EXPECT_EQ("tezmola: cannot play the replay " + options.replay + ": damaged",
              testing::internal::GetCapturedStderr().substr(0, options.replay.size() + 41));
    EXPECT_NE(std::string::npos, log().find("has changed since the game was recorded"));
    EXPECT_NE(std::string::npos, log().find("Cannot play the replay " + options.replay + ": damaged"));
}

}  // namespace
