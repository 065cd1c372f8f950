// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The player's commands to the GameStructure: keys, pointer, joystick buttons, and the cheat keys.

#include "engine/audio/audio.h"
#include "game/balls.h"
#include "game/game_structure.h"
#include "game/hud.h"
#include "game/level.h"

namespace tezmola {

namespace {

enum Key {
    kKeySpace = 32,
    kKeyF1 = 282,
    kKeyF2 = 283,
    kKeyF5 = 286,
    kKeyF8 = 289,
    kKeyF9 = 290,
    kKeyF10 = 291,
    kKeyF11 = 292,
    kKeyF12 = 293,
};
constexpr int kLeftButton = 0;

// F10 brings a finished game back and gives one more spare ball.
void revive(GameStructure& game) {
    if (!game.playing) {
        game.playing = true;
        game.highScores.hide();
        // Refreshed rather than hidden, so that a paused game keeps showing "PAUSED".
        refreshStateLabel(game.hud, game.pausedShown, game.playing);
    }
    if (game.spareBalls.lives < kMaxLives)
        addSpareBall(game.spareBalls);
}

void changeLevel(GameStructure& game, int delta) {
    if (delta < 0 && game.levelNumber >= 2)
        --game.levelNumber;
    else if (delta > 0)
        ++game.levelNumber;
    buildLevel(game);
}

}  // namespace

void GameStructure::onKeyDown(int key) {
    if (inputHeld)
        return;
    switch (key) {
        case kKeySpace:
            launchBalls(balls, paddle);
            return;
        case kKeyF1:
            newGame(*this);
            return;
        case kKeyF2:
            pentavel::audio::toggleSound();
            return;
        case kKeyF5:
            showFrameRate = !showFrameRate;
            refreshLevelLabel(hud, showFrameRate, levelNumber);
            return;
        case kKeyF8:
            setTitleCheatMark(hud);
            freePaddle = !freePaddle;
            return;
        case kKeyF9:
            removeSpareBall(spareBalls);
            break;
        case kKeyF10:
            revive(*this);
            break;
        case kKeyF11:
            changeLevel(*this, -1);
            break;
        case kKeyF12:
            changeLevel(*this, +1);
            break;
        default:
            return;
    }
    setTitleCheatMark(hud);
}

void GameStructure::onMouseButtonDown(int button, float /*x*/, float /*y*/) {
    if (button == kLeftButton && !inputHeld)
        launchBalls(balls, paddle);
}

void GameStructure::onMouseMotion(float x, float y) {
    if (pausedShown)
        return;
    paddle.x = x;
    if (freePaddle)
        paddle.y = y;
    placePaddle(paddle);
}

void GameStructure::onJoyAxis(int /*joystick*/, int /*axis*/, int /*value*/) {
    // Joystick steering belongs to the paddle.
}

void GameStructure::onJoyButtonDown(int /*joystick*/, int /*button*/) {
    if (!inputHeld)
        launchBalls(balls, paddle);
}

}  // namespace tezmola
