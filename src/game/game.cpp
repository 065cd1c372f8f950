// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game.h"

#include "engine/core/engine_signals.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/graphics/display.h"
#include "game/high_score_board.h"

namespace tezmola {

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyPause = 19;
constexpr int kKeyReturn = 13;
constexpr int kKeyKeypadEnter = 271;
constexpr int kInputFocus = 2;
constexpr int kApplicationActive = 3;

}  // namespace

bool Game::initialise() {
    if (!initialiseGameStructure(structure_))
        return false;
    pentavel::activeSignal().connect(this, &Game::onActive, tracker_);
    pentavel::keyDownSignal().connect(this, &Game::onKeyDown, tracker_);
    pentavel::tickSignal().connect(this, &Game::onTick, tracker_);
    pentavel::quitSignal().connect(this, &Game::onQuit, tracker_);
    return true;
}

void Game::onActive(int which, bool gained) {
    if (which != kInputFocus && which != kApplicationActive)
        return;
    paused_ = !gained;
    setPausedShown(structure_, paused_);
}

void Game::onKeyDown(int key) {
    if (key == kKeyEscape) {
        pentavel::quitSignal().emit();
    } else if (key == kKeyPause) {
        paused_ = !paused_;
        setPausedShown(structure_, paused_);
    } else if ((key == kKeyReturn || key == kKeyKeypadEnter) && pentavel::altKeyHeld()) {
        pentavel::graphics::toggleFullscreen();
        // A new mode shows the cursor in a window; it belongs to the pause alone.
        pentavel::graphics::showCursor(paused_);
    }
}

void Game::onTick() {
    pentavel::gameTick(paused_);
}

void Game::onQuit() {
    endGame(structure_, false);
}

}  // namespace tezmola
