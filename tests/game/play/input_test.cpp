// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The display and the player's commands: labels, pause and focus, pointer, keys and joystick.

#include "engine/audio/audio.h"
#include "engine/core/engine_signals.h"
#include "engine/file/settings.h"
#include "game/display/hud.h"
#include "game/game.h"
#include "game/play/game_step.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

class InputTest : public test::GameTest {
protected:
    void SetUp() override { startWith(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")); }
};

TEST_F(InputTest, LevelLabelShowsTheLastTwoDigitsOrTheFrameRate) {
    game->levelNumber = 7;
    drawn();
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 07");
    game->levelNumber = 123;
    game->score = 1234;
    game->scoreMultiplier = 3;
    drawn();  // each label a frame later follows its figure
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 23");
    EXPECT_EQ(game->hud.scoreLabel.text(), "00001234");
    EXPECT_EQ(game->hud.multiplierLabel.text(), "X3");
    press(286);  // F5
    drawn();
    EXPECT_FALSE(game->hud.levelLabel.visible());
    EXPECT_TRUE(game->hud.frameRateCounter.label().visible());
    press(286);
    drawn();
    EXPECT_TRUE(game->hud.levelLabel.visible());
    EXPECT_FALSE(game->hud.frameRateCounter.label().visible());
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 23");
}

TEST_F(InputTest, LabelsHaveTheirPlacesAndStartingTexts) {
    EXPECT_EQ(game->hud.scoreLabel.text(), "00000000");
    EXPECT_EQ(game->hud.scoreLabel.x(), 1.0f);
    EXPECT_EQ(game->hud.scoreLabel.horizontalAlignment, pentavel::graphics::TextLabel::kRight);
    EXPECT_EQ(game->hud.titleLabel.y(), 0.75f);
    EXPECT_EQ(game->hud.multiplierLabel.x(), 0.93333334f);
    EXPECT_EQ(game->hud.multiplierLabel.verticalAlignment, pentavel::graphics::TextLabel::kBottom);
    EXPECT_EQ(game->hud.stateLabel.depth(), -12.0f);
    EXPECT_EQ(game->hud.topBand.sprite(), test::image("tile_pyramid"));
    EXPECT_FLOAT_EQ(game->hud.topBand.height(), 0.64995f - 0.75f);
    EXPECT_EQ(game->glyphs['A'], test::image("conduit_065"));
    EXPECT_EQ(game->glyphs['a'], test::image("conduit_nc"));
}

TEST_F(InputTest, CheatKeysMarkTheTitleUntilTheNextNewGame) {
    press(292);  // F11 at level 1 rebuilds level 1
    EXPECT_EQ(game->levelNumber, 1u);
    EXPECT_EQ(game->hud.titleLabel.text(), "ZORPLEX");
    press(293);
    EXPECT_EQ(game->levelNumber, 2u);
    drawn();
    EXPECT_EQ(game->hud.levelLabel.text(), "LEVEL 02");
    press(292);
    EXPECT_EQ(game->levelNumber, 1u);
    press(282);  // F1
    EXPECT_EQ(game->hud.titleLabel.text(), "TEZMOLA");
}

// F2, F6 and F7 say what they did for two seconds of frames; the volume is the settings' at once.
TEST_F(InputTest, TheSoundKeysSayWhatTheyDidForTwoSeconds) {
    pentavel::audio::setSoundVolume(0.7f);
    press(288);  // F7
    EXPECT_FLOAT_EQ(0.8f, pentavel::audio::soundVolume());
    EXPECT_EQ("SOUND 80%", game->hud.flashLabel.text());
    EXPECT_TRUE(game->hud.flashLabel.visible());
    press(287);  // F6
    press(287);
    EXPECT_EQ("SOUND 60%", game->hud.flashLabel.text());
    float volume = -1.0f;
    ASSERT_TRUE(pentavel::getSetting("audio", "sound", "volume", volume));
    EXPECT_FLOAT_EQ(0.6f, volume);
    const bool enabled = pentavel::audio::soundEnabled();
    press(283);  // F2
    EXPECT_EQ(enabled ? "SOUND OFF" : "SOUND ON", game->hud.flashLabel.text());
    ageFlash(game->hud, 1.9f);
    EXPECT_TRUE(game->hud.flashLabel.visible());
    ageFlash(game->hud, 0.2f);
    EXPECT_FALSE(game->hud.flashLabel.visible());
    press(283);
    EXPECT_EQ(pentavel::audio::soundEnabled(), enabled);
}

// A game that has a table and enters none of it says so at the bottom; a game from level 1 does not.
TEST_F(InputTest, APracticeGameIsMarked) {
    EXPECT_EQ("", game->hud.practiceLabel.text());
    game->startingLevel = 2;
    press(282);  // F1
    EXPECT_EQ("PRACTICE", game->hud.practiceLabel.text());
    game->startingLevel = 1;
    press(282);
    EXPECT_EQ("", game->hud.practiceLabel.text());
    game->onlyPractice = true;
    press(282);
    EXPECT_EQ("PRACTICE", game->hud.practiceLabel.text());
}

TEST_F(InputTest, PauseShowsOverGameOverAndFocusFollowsTheWindow) {
    Game wrapper;  // only its slots are used here; its structure stays uninitialised
    game->playing = false;
    drawn();
    EXPECT_EQ(game->hud.stateLabel.text(), "GAME OVER");
    setPausedShown(*game, true);
    drawn();
    EXPECT_EQ(game->hud.stateLabel.text(), "PAUSED");
    setPausedShown(*game, false);
    drawn();
    EXPECT_EQ(game->hud.stateLabel.text(), "GAME OVER");
    EXPECT_FALSE(wrapper.paused());
    wrapper.onKeyDown(19);
    EXPECT_TRUE(wrapper.paused());
    wrapper.onActive(2, false);
    EXPECT_TRUE(wrapper.paused());
    wrapper.onActive(1, true);
    EXPECT_TRUE(wrapper.paused());
    wrapper.onActive(3, true);
    EXPECT_FALSE(wrapper.paused());
    EXPECT_FALSE(wrapper.structure().pausedShown);
}

TEST_F(InputTest, EscapeAsksToQuit) {
    Game wrapper;
    int quits = 0;
    struct Counter {
        int* count;
        void quit() { ++*count; }
    } counter{&quits};
    pentavel::ScopedTracker tracker;
    pentavel::quitSignal().connect(&counter, &Counter::quit, tracker);
    wrapper.onKeyDown(27);
    EXPECT_EQ(quits, 1);
}

TEST_F(InputTest, PointerMovesThePaddleWithinItsRangeUnlessPaused) {
    pentavel::mouseMotionSignal().emit(-1.2f, 0.3f);
    EXPECT_FLOAT_EQ(game->paddle.x, -0.8f);
    pentavel::mouseMotionSignal().emit(1.2f, 0.3f);
    EXPECT_FLOAT_EQ(game->paddle.x, 0.8f);
    EXPECT_EQ(game->paddle.y, kPaddleY);
    setPausedShown(*game, true);
    pentavel::mouseMotionSignal().emit(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(game->paddle.x, 0.8f);
    setPausedShown(*game, false);
    press(289);  // F8: free paddle
    pentavel::mouseMotionSignal().emit(-0.2f, 0.1f);
    EXPECT_EQ(game->paddle.x, -0.2f);
    EXPECT_EQ(game->paddle.y, 0.1f);
    EXPECT_EQ(game->paddle.body.y(), 0.1f);
}

TEST_F(InputTest, ClickAndJoystickButtonsLaunch) {
    // While the shelf holds the input, neither keys nor buttons reach the game.
    game->inputHeld = true;
    press(293);
    press(32);
    pentavel::mouseButtonDownSignal().emit(0, 0.0f, 0.0f);
    pentavel::joyButtonDownSignal().emit(1, 5);
    EXPECT_EQ(game->levelNumber, 1u);
    EXPECT_TRUE(game->balls[0].stuck);
    game->inputHeld = false;
    pentavel::mouseButtonDownSignal().emit(2, 0.0f, 0.0f);
    EXPECT_TRUE(game->balls[0].stuck);
    pentavel::mouseButtonDownSignal().emit(0, 0.0f, 0.0f);
    EXPECT_FALSE(game->balls[0].stuck);
    game->balls[0].stuck = true;
    pentavel::joyButtonDownSignal().emit(1, 5);
    EXPECT_FALSE(game->balls[0].stuck);
}

TEST_F(InputTest, ArrowKeysSteerAndTheLastPressedWins) {
    press(275);
    step(200);
    EXPECT_FLOAT_EQ(game->paddle.x, 0.8f);
    press(276);
    pentavel::keyUpSignal().emit(275);
    step(100);
    EXPECT_NEAR(game->paddle.x, -0.2f, 1e-4f);
    pentavel::keyUpSignal().emit(276);
    step(10);
    EXPECT_NEAR(game->paddle.x, -0.2f, 1e-4f);
    drawn();
    EXPECT_FLOAT_EQ(game->paddle.shadow.x(), game->paddle.x + 0.03f);
    press(276);  // the mirror: left, then right, then left let go
    press(275);
    pentavel::keyUpSignal().emit(276);
    EXPECT_EQ(game->paddle.direction, kPaddleRight);
}

TEST_F(InputTest, JoystickAxisZeroSteersBeyondItsThresholds) {
    auto axis = [](int number, int value) { pentavel::joyAxisSignal().emit(0, number, value); };
    axis(0, -24001);
    EXPECT_EQ(game->paddle.direction, kPaddleLeft);
    axis(0, -24000);
    EXPECT_EQ(game->paddle.direction, kPaddleStill);
    axis(0, 24001);
    EXPECT_EQ(game->paddle.direction, kPaddleRight);
    axis(1, 0);
    EXPECT_EQ(game->paddle.direction, kPaddleRight);
    axis(0, 24000);
    EXPECT_EQ(game->paddle.direction, kPaddleStill);
}

}  // namespace
