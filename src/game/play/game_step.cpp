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

void lookUpSounds(GameSounds& sounds) {
    sounds.soundCatch = soundCode("beep1");
    sounds.soundBrickHit = soundCode("beep2");
    sounds.soundBrickDestroyed = soundCode("beep3");
    sounds.soundWall = soundCode("beep4");
    sounds.soundPaddle = soundCode("beep5");
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

void GameStructure::connectSlots() {
    pentavel::updateSignal().connect(this, &GameStructure::update, tracker);
    pentavel::keyDownSignal().connect(this, &GameStructure::onKeyDown, tracker);
    pentavel::keyUpSignal().connect(this, &GameStructure::onKeyUp, tracker);
    pentavel::mouseButtonDownSignal().connect(this, &GameStructure::onMouseButtonDown, tracker);
    pentavel::mouseMotionSignal().connect(this, &GameStructure::onMouseMotion, tracker);
    pentavel::joyAxisSignal().connect(this, &GameStructure::onJoyAxis, tracker);
    pentavel::joyButtonDownSignal().connect(this, &GameStructure::onJoyButtonDown, tracker);
}

// The step, then what it reported: a game that ended is offered to the table and its replay kept.
void GameStructure::update(float dt) {
    updateGame(*this, dt);
    if (events.gameOver) {
        events.gameOver = false;
        endGame(*this, true);
    }
}

// The file is read first: one that cannot be read leaves nothing set up.
bool initialiseGameStructure(GameStructure& game, const char* levelFile) {
    if (!readLevelFile(game.levelDocument, game.levelCount, levelFile)) {
        pentavel::logError("Cannot initialise the main game structure!");
        return false;
    }
    initialiseWithLevels(game, kHighScoreFileName);
    return true;
}

std::unique_ptr<GameStructure> makeTrialGame(const std::string& levelFile) {
    auto game = std::make_unique<GameStructure>();
    if (!pentavel::file::parseXmlDocument(game->levelDocument, levelFile))
        return nullptr;
    initialiseWithLevels(*game, nullptr);
    return game;
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

}  // namespace

void initialiseWithLevels(GameStructure& game, const char* highScoreFile) {
    initPaddle(game.paddle, kPaddleY, kPaddleHeight, kPaddleWidth, kPaddleMargin);
    game.levelCount = countLevels(game.levelDocument);
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
    game.connectSlots();
    game.showFrameRate = false;
    game.freePaddle = false;
    setPausedShown(game, false);
    newGame(game);
}

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

void applyPowerUp(PlayField& field, PowerUpKind kind) {
    switch (kind) {
        case PowerUpKind::Red:
            for (Ball& ball : field.balls)
                addFire(ball);
            break;
        case PowerUpKind::Blue:
            splitFreeBalls(field.balls);
            break;
        case PowerUpKind::Yellow:
            for (Ball& ball : field.balls)
                addPower(ball);
            break;
        case PowerUpKind::Green:
            raiseGuard(field.guard, field.grid);
            break;
        case PowerUpKind::Magenta:
            raiseMultiplier(field.scoreMultiplier, field.multiplierArmed);
            break;
        case PowerUpKind::White:
            if (field.spareBalls.lives < kMaxLives)
                addSpareBall(field.spareBalls);
            break;
    }
}

void setPausedShown(GameDisplay& display, bool paused) {
    display.pausedShown = paused;
    pentavel::graphics::showCursor(paused);
    // Nothing moves while paused, so the engine need not draw the same frame again and again.
    pentavel::graphics::holdStillFrame(paused);
}

}  // namespace tezmola
