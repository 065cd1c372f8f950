// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/play/game_step.h"

#include "engine/audio/audio.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/file_system.h"
#include "engine/file/log.h"
#include "engine/file/xml_document.h"
#include "engine/graphics/display.h"
#include "game/display/hud.h"
#include "game/display/level_banner.h"
#include "game/field/balls.h"
#include "game/field/collisions.h"
#include "game/field/guard.h"
#include "game/field/images.h"
#include "game/field/level.h"
#include "game/play/game_end.h"
#include "game/play/level_build.h"
#include "game/records/high_score_file.h"

namespace tezmola {

using pentavel::audio::soundCode;
using pentavel::graphics::Colour;

namespace {

constexpr int kStartingSpareBalls = 4;
constexpr float kIconSize = 0.046875f;

void setUpSpareBallIcons(SpareBalls& spares) {
    spares.firstIconX = -1.0f + kPaddleMargin + 0.0234375f;
    spares.iconY = -0.75f + 0.0234375f;
    spares.iconSize = kIconSize;
    spares.lives = 0;
}

void setUpGuardGlow(Guard& guard) {
    guard.glowHeight = 0.0625f;
    guard.glowGrowing = false;
    guard.guardCount = 0;
    guard.glow.setSpriteByName(kGuardGlowImage);
    guard.glow.setColour(Colour{0.0f, 1.0f, 1.0f, 1.0f});
    placeGuardGlow(guard);
    guard.glow.setDepth(1.0f);
    switchGuardOff(guard);
}

void lookUpSounds(GameStructure& game) {
    game.soundCatch = soundCode("beep1");
    game.soundBrickHit = soundCode("beep2");
    game.soundBrickDestroyed = soundCode("beep3");
    game.soundWall = soundCode("beep4");
    game.soundPaddle = soundCode("beep5");
}

void setUpPlay(GameStructure& game, const char* highScoreFile);

void connectHandlers(GameStructure& game) {
    pentavel::updateSignal().connect(&game, &GameStructure::update, game.tracker);
    pentavel::keyDownSignal().connect(&game, &GameStructure::onKeyDown, game.tracker);
    pentavel::keyUpSignal().connect(&game, &GameStructure::onKeyUp, game.tracker);
    pentavel::mouseButtonDownSignal().connect(&game, &GameStructure::onMouseButtonDown, game.tracker);
    pentavel::mouseMotionSignal().connect(&game, &GameStructure::onMouseMotion, game.tracker);
    pentavel::joyAxisSignal().connect(&game, &GameStructure::onJoyAxis, game.tracker);
    pentavel::joyButtonDownSignal().connect(&game, &GameStructure::onJoyButtonDown, game.tracker);
}

void splitFreeBalls(std::vector<Ball>& balls) {
    std::size_t index = 0;
    while (index < balls.size()) {
        if (!balls[index].stuck && balls.size() < kMaxBalls) {
            splitBall(balls, index);
            index += 2;  // the twin went to the front, ahead of the walk
        } else {
            ++index;
        }
    }
}

void raiseMultiplier(std::int32_t& multiplier, bool& armed) {
    const std::int32_t raised = multiplier == INT32_MAX ? 1 : multiplier + 1;
    multiplier = raised > 9 ? 9 : raised;
    armed = false;
}

// Each capsule falls; a caught one takes effect (caught(kind)), one past the loss line goes.
template <typename Caught>
void updatePowerUps(std::vector<PowerUp>& powerUps, const Paddle& paddle, int catchSound, float dt,
                    Caught caught) {
    std::size_t index = 0;
    while (index < powerUps.size()) {
        PowerUp& powerUp = powerUps[index];
        fallPowerUp(powerUp, dt);
        if (isCaught(paddle, powerUp)) {
            pentavel::audio::playSound(catchSound, 1.0f, powerUp.x);
            const PowerUpKind kind = powerUp.kind;
            powerUps.erase(powerUps.begin() + static_cast<std::ptrdiff_t>(index));
            caught(kind);
        } else if (powerUp.y < kLossLine) {
            powerUps.erase(powerUps.begin() + static_cast<std::ptrdiff_t>(index));
        } else {
            ++index;
        }
    }
}

}  // namespace

// The step, then what it reported: a game that ended is offered to the table and its replay kept.
void GameStructure::update(float dt) {
    updateGame(*this, dt);
    if (events.gameOver) {
        events.gameOver = false;
        endGame(*this, true);
    }
}

bool initialiseGameStructure(GameStructure& game, const char* levelFile) {
    initPaddle(game.paddle, kPaddleY, kPaddleHeight, kPaddleWidth, kPaddleMargin);
    if (!readLevelFile(game.levelDocument, game.levelCount, levelFile)) {
        pentavel::logError("Cannot initialise the main game structure!");
        return false;
    }
    setUpPlay(game, kHighScoreFileName);
    return true;
}

void initialiseWithLevels(GameStructure& game, const std::string& highScoreFile) {
    initPaddle(game.paddle, kPaddleY, kPaddleHeight, kPaddleWidth, kPaddleMargin);
    game.levelCount = countLevels(game.levelDocument);
    setUpPlay(game, highScoreFile.c_str());
}

void initialiseReplayGame(GameStructure& game) {
    initPaddle(game.paddle, kPaddleY, kPaddleHeight, kPaddleWidth, kPaddleMargin);
    game.levelCount = countLevels(game.levelDocument);
    setUpPlay(game, nullptr);
}

bool initialiseTrialGame(GameStructure& game, const std::string& levelFile) {
    if (!pentavel::file::parseXmlDocument(game.levelDocument, levelFile))
        return false;
    initialiseReplayGame(game);
    return true;
}

namespace {

void startRecord(GameRecord& record, std::uint32_t startingLevel, const Paddle& paddle, bool freePaddle) {
    record.seed = dropGeneratorState();
    record.startingLevel = startingLevel;
    record.paddleX = paddle.x;
    record.paddleY = paddle.y;
    record.direction = paddle.direction;
    record.freePaddle = freePaddle;
    record.steps = 0;
    record.commands.clear();
    record.complete = true;
}

void setUpPlay(GameStructure& game, const char* highScoreFile) {
    resolveBallImages();
    buildGlyphTable(game.glyphs);
    makeBackground(game.background);
    game.hud.frameRateCounter.setUp(game.glyphs, 0.75f);
    lookUpSounds(game);
    setUpLabels(game.hud, game.glyphs);
    // A board never opened is offered nothing: its file is neither read nor written.
    if (highScoreFile != nullptr)
        openHighScores(game.highScores, game.glyphs, highScoreFile);
    // Told on standard error at start; said once more where the player looks.
    if (highScoreFile != nullptr && pentavel::file::isUserDirectoryUnwritable())
        showNotice(game.hud, "NOTHING WILL BE SAVED");
    setUpBanner(game.banner, game.glyphs);
    setUpSpareBallIcons(game.spareBalls);
    setUpGuardGlow(game.guard);
    setUpGrid(game.grid, game.cellAnimation, game.tracker);
    connectHandlers(game);
    game.showFrameRate = false;
    game.freePaddle = false;
    setPausedShown(game, false);
    newGame(game);
}

}  // namespace

void newGame(GameStructure& game) {
    endGame(game, false);
    game.gameEnded = false;
    startRecord(game.record, game.startingLevel, game.paddle, game.freePaddle);
    game.levelNumber = game.startingLevel;
    game.practice = game.onlyPractice || game.startingLevel > 1;
    // Marked where it matters: a game that has a table and enters none of it.
    showPracticeMark(game.hud, game.practice && game.highScores.opened());
    game.score = 0;
    while (game.spareBalls.lives > 0)
        removeSpareBall(game.spareBalls);
    for (int count = 0; count < kStartingSpareBalls; ++count)
        addSpareBall(game.spareBalls);
    // Playing before the build, which serves the first ball only into a game being played.
    game.playing = true;
    if (buildLevel(game) != LevelBuild::Built)
        game.record.complete = false;
    game.highScores.hide();  // the table is shown only while the game is over
    clearTitleCheatMark(game.hud);
}

void updateGame(GameStructure& game, float dt) {
    if (!game.gameEnded)
        ++game.record.steps;
    stepBalls(game.balls, game.grid, game.paddle, game, dt);
    removeLostBalls(game.balls);
    if (game.balls.empty())
        serveBall(game);
    updatePowerUps(game.powerUps, game.paddle, game.soundCatch, dt,
                   [&game](PowerUpKind kind) { applyPowerUp(game, kind); });
    game.cellAnimation.emit(dt);
    if (game.guard.guardCount != 0)
        animateGuardGlow(game.guard, dt);
    if (game.bricksLeft < 1) {
        ++game.levelNumber;
        buildLevel(game);
    }
}

void applyPowerUp(GameStructure& game, PowerUpKind kind) {
    switch (kind) {
        case PowerUpKind::Red:
            for (Ball& ball : game.balls)
                addFire(ball);
            break;
        case PowerUpKind::Blue:
            splitFreeBalls(game.balls);
            break;
        case PowerUpKind::Yellow:
            for (Ball& ball : game.balls)
                addPower(ball);
            break;
        case PowerUpKind::Green:
            raiseGuard(game.guard, game.grid);
            break;
        case PowerUpKind::Magenta:
            raiseMultiplier(game.scoreMultiplier, game.multiplierArmed);
            break;
        case PowerUpKind::White:
            if (game.spareBalls.lives < kMaxLives)
                addSpareBall(game.spareBalls);
            break;
    }
}

void setPausedShown(GameStructure& game, bool paused) {
    game.pausedShown = paused;
    pentavel::graphics::showCursor(paused);
    // Nothing moves while paused, so the engine need not draw the same frame again and again.
    pentavel::graphics::holdStillFrame(paused);
}

}  // namespace tezmola
