// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/engine_signals.h"
#include "engine/file/settings.h"
#include "game/game.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

constexpr int kH = 104;
constexpr int kEscape = 27;
constexpr int kPause = 19;
constexpr int kF12 = 293;

class HelpTest : public test::GameTest {
public:  // a slot of the quit signal
    void countQuit() { ++quits; }
    int quits = 0;
};

// H and Escape close the help without quitting; a game paused before stays paused, focus come back under
// the help ends that pause but not the help's; a game over has no help.
TEST_F(HelpTest, HPausesUnderTheHelpAndClosingItGivesBackThePauseThere) {
    folder.write("level.xml", test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")));
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    pentavel::loadSettings("settings.xml");
    pentavel::openLog();
    Game shown;
    ASSERT_TRUE(shown.initialise());
    pentavel::ScopedTracker tracker;
    pentavel::quitSignal().connect(this, &HelpTest::countQuit, tracker);
    const GameStructure& game = shown.structure();
    // Open, paused as the player sees it (the still frame, no state label), and the keys kept from play.
    const auto heldUnderHelp = [&] {
        pentavel::beforeDrawSignal().emit();  // the labels as a frame shows them
        return shown.helpView().isOpen() && shown.paused() && game.pausedShown && game.inputHeld &&
               !game.hud.stateLabel.visible();
    };
    press(kH);
    EXPECT_TRUE(heldUnderHelp());
    press(kF12);  // no key of play reaches the game under the help
    press(kPause);
    EXPECT_TRUE(heldUnderHelp());
    EXPECT_EQ(1u, game.levelNumber);
    press(kEscape);
    EXPECT_EQ(0, quits);
    EXPECT_FALSE(shown.helpView().isOpen() || shown.paused() || game.pausedShown || game.inputHeld);
    press(kPause);
    press(kH);
    press(kH);
    EXPECT_FALSE(shown.helpView().isOpen());
    EXPECT_TRUE(shown.paused());
    pentavel::beforeDrawSignal().emit();
    EXPECT_EQ("PAUSED", game.hud.stateLabel.text());
    EXPECT_TRUE(game.hud.stateLabel.visible());
    press(kH);
    pentavel::activeSignal().emit(2, true);
    EXPECT_TRUE(heldUnderHelp());
    press(kH);
    EXPECT_FALSE(shown.paused());
    shown.structure().playing = false;
    press(kH);
    EXPECT_FALSE(shown.helpView().isOpen() || shown.paused());
}

}  // namespace
