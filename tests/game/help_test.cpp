// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include "engine/core/engine_signals.h"
#include "engine/file/settings.h"
#include "game/game.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;
using pentavel::graphics::TextLabel;

constexpr int kH = 104;
constexpr int kEscape = 27;
constexpr int kPause = 19;
constexpr int kF12 = 293;

class HelpTest : public test::GameTest {
public:  // a slot of the quit signal
    void countQuit() { ++quits; }
    int quits = 0;

protected:
    // A Game over a level of one row of bricks.
    void startGame() {
        folder.write("level.xml", test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")));
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        pentavel::loadSettings("settings.xml");
        pentavel::openLog();
        app = std::make_unique<Game>();
        ASSERT_TRUE(app->initialise());
    }
    std::unique_ptr<Game> app;  // destroyed before the folder is unmounted
};

// Over the labels, every key in the font beside its text and above the next, then each capsule beside its
// line, all within the window; none of it stays when the help closes.
TEST_F(HelpTest, TheHelpLaysEveryLineAndCapsuleInTheWindowAndTakesThemAway) {
    startGame();
    press(kH);
    const HelpView& help = app->helpView();
    const float depth = help.text(0).glyphs().front().depth();
    EXPECT_TRUE(help.backdrop().visible());
    EXPECT_LT(help.backdrop().depth(), app->structure().hud.stateLabel.depth());
    EXPECT_GT(help.backdrop().depth(), depth);
    EXPECT_GT(std::fabs(help.backdrop().height()), 1.4f);  // the whole field
    float above = 0.75f;
    for (std::size_t line = 0; line < HelpView::kLines; ++line) {
        const TextLabel& key = help.key(line);
        const TextLabel& text = help.text(line);
        EXPECT_TRUE(key.visible() && text.visible() && !text.glyphs().empty()) << line;
        EXPECT_NE(0, text.glyphs().front().sprite()) << line;  // in the game's font
        EXPECT_LT(key.x(), text.x()) << line;
        EXPECT_EQ(key.y(), text.y()) << line;
        EXPECT_LT(key.y(), above) << line;
        above = key.y();
    }
    ASSERT_EQ(HelpView::kCapsules, help.capsules().size());
    for (std::size_t line = 0; line < HelpView::kCapsules; ++line) {
        const PowerUp& capsule = help.capsules()[line];
        EXPECT_EQ(static_cast<PowerUpKind>(line + 1), capsule.kind);
        EXPECT_LT(capsule.capsule.y(), above) << line;
        EXPECT_EQ(capsule.capsule.y(), help.capsuleText(line).y()) << line;
        EXPECT_LT(capsule.capsule.x(), help.capsuleText(line).x()) << line;
        EXPECT_LT(capsule.glyph.depth(), help.backdrop().depth()) << line;
        above = capsule.capsule.y();
    }
    EXPECT_GT(above, -0.7f);
    press(kH);
    EXPECT_FALSE(help.backdrop().visible());
    EXPECT_TRUE(help.capsules().empty());
    for (std::size_t line = 0; line < HelpView::kLines; ++line)
        EXPECT_FALSE(help.key(line).visible() || help.text(line).visible()) << line;
    EXPECT_FALSE(help.capsuleText(0).visible());
    press(kH);  // and it shows again
    EXPECT_TRUE(help.backdrop().visible() && help.key(0).visible() &&
                help.text(HelpView::kLines - 1).visible());
}

// H and Escape close the help without quitting; a game paused before stays paused, focus come back under
// the help ends that pause but not the help's; a game over has no help.
TEST_F(HelpTest, HPausesUnderTheHelpAndClosingItGivesBackThePauseThere) {
    startGame();
    Game& shown = *app;
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
