// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "engine/core/engine_signals.h"
#include "engine/file/settings.h"
#include "game/display/help_view.h"
#include "game/field/brick_grid.h"
#include "game/field/images.h"
#include "game/game.h"
#include "game_fixture.h"

namespace {

using namespace tezmola;

constexpr int kH = 104;
constexpr int kEscape = 27;
constexpr int kPause = 19;
constexpr int kF12 = 293;

class HelpTest : public test::GameTest {
protected:
    void SetUp() override {
        folder.write("level.xml", test::level(test::mapWith(3, "I+R1R1R1R1R1R1R1R1R1R1R1R1R1R1+I")));
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        pentavel::loadSettings("settings.xml");
        pentavel::openLog();
        game_ = std::make_unique<Game>();
        ASSERT_TRUE(game_->initialise());
        pentavel::quitSignal().connect(this, &HelpTest::countQuit, tracker_);
    }
    void countQuit() { ++quits_; }
    // Open, paused as the player sees it (the still frame, no state label), and the keys kept from play.
    bool heldUnderHelp() {
        const GameStructure& game = game_->structure();
        return game_->helpView().isOpen() && game_->paused() && game.pausedShown && game.inputHeld &&
               !game.hud.stateLabel.visible();
    }
    std::unique_ptr<Game> game_;
    pentavel::ScopedTracker tracker_;
    int quits_ = 0;
};

// H and Escape close the help without quitting; a game paused before stays paused, focus come back under
// the help ends that pause but not the help's.
TEST_F(HelpTest, HPausesUnderTheHelpAndClosingItGivesBackThePauseThere) {
    press(kH);
    EXPECT_TRUE(heldUnderHelp());
    press(kF12);  // no key of play reaches the game under the help
    press(kPause);
    EXPECT_TRUE(heldUnderHelp());
    EXPECT_EQ(1u, game_->structure().levelNumber);
    press(kEscape);
    EXPECT_EQ(0, quits_);
    EXPECT_FALSE(game_->helpView().isOpen());
    EXPECT_FALSE(game_->paused());
    EXPECT_FALSE(game_->structure().pausedShown || game_->structure().inputHeld);
    press(kPause);
    press(kH);
    press(kH);
    EXPECT_FALSE(game_->helpView().isOpen());
    EXPECT_TRUE(game_->paused());
    EXPECT_EQ("PAUSED", game_->structure().hud.stateLabel.text());
    EXPECT_TRUE(game_->structure().hud.stateLabel.visible());
    press(kH);
    pentavel::activeSignal().emit(2, true);
    EXPECT_TRUE(heldUnderHelp());
    press(kH);
    EXPECT_FALSE(game_->paused());
    // A game over has no help: H leaves the board as it is.
    game_->structure().playing = false;
    press(kH);
    EXPECT_FALSE(game_->helpView().isOpen());
    EXPECT_FALSE(game_->paused());
}

// The six capsules are drawn as they fall in play, over the help's backdrop, each beside its own line,
// and all of it is gone once closed.
TEST_F(HelpTest, TheHelpShowsEachCapsuleOverItsBackdropAndHidesAllWhenClosed) {
    EXPECT_TRUE(game_->helpView().capsules().empty());  // nothing is made before the first H
    press(kH);
    const HelpView& help = game_->helpView();
    ASSERT_EQ(6u, help.capsules().size());
    const char letters[] = "FMPGS1";
    for (std::size_t index = 0; index < 6; ++index) {
        const PowerUp& capsule = help.capsules()[index];
        const int kind = static_cast<int>(index) + 1;
        EXPECT_EQ(kind, static_cast<int>(capsule.kind));
        EXPECT_TRUE(capsule.capsule.colour() == brickColour(kind));
        EXPECT_EQ(pentavel::graphics::lookupSprite(glyphImageName(letters[index]).c_str()),
                  capsule.glyph.sprite());
        // Front to back: letter, faceplate, capsule, its shadow, the backdrop.
        EXPECT_LT(capsule.glyph.depth(), capsule.faceplate.depth());
        EXPECT_LT(capsule.faceplate.depth(), capsule.capsule.depth());
        EXPECT_LT(capsule.capsule.depth(), capsule.shadow.depth());
        EXPECT_LT(capsule.shadow.depth(), help.backdrop().depth());
        EXPECT_NEAR(capsule.y, help.capsuleLabel(index).y(), 1e-4f);
        EXPECT_LT(capsule.x + 0.06f, help.capsuleLabel(index).glyphs().front().x());
        if (index > 0) {  // a capsule's height apart at least
            EXPECT_LE(capsule.y + 0.0625f, help.capsules()[index - 1].y + 1e-4f);
        }
    }
    EXPECT_TRUE(help.backdrop().visible());
    EXPECT_LT(help.keyLabel(0).depth(), help.backdrop().depth());
    press(kH);
    EXPECT_FALSE(help.backdrop().visible());
    EXPECT_TRUE(help.capsules().empty());
    for (std::size_t line = 0; line < HelpView::kLines; ++line)
        EXPECT_FALSE(help.keyLabel(line).visible() || help.textLabel(line).visible());
    EXPECT_FALSE(help.capsuleLabel(5).visible());
}

}  // namespace
