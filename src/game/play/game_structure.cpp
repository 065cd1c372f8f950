// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/play/game_structure.h"

#include "engine/audio/audio.h"
#include "game/display/hud.h"
#include "game/field/guard.h"

namespace tezmola {

GameStructure::GameStructure() {
    balls.reserve(kMaxBalls);
    powerUps.reserve(64);
}

GameStructure::~GameStructure() = default;

void GameStructure::brickDamaged(float x) {
    pentavel::audio::playSound(soundBrickHit, 1.0f, x);
}

void GameStructure::brickDestroyed(BrickKind kind, std::int32_t points, float x) {
    pentavel::audio::playSound(soundBrickDestroyed, 1.0f, x);
    if (kind != BrickKind::Steel)
        --bricksLeft;
    // The score wraps like the 32-bit counter it is.
    score = static_cast<std::int32_t>(static_cast<std::uint32_t>(score) +
                                      static_cast<std::uint32_t>(points * scoreMultiplier));
}

void GameStructure::capsuleDropped(PowerUpKind kind, float x, float y) {
    dropPowerUp(powerUps, kind, x, y);
}

void GameStructure::pipeHit(float x) {
    pentavel::audio::playSound(soundWall, 1.0f, x);
}

void GameStructure::guardHit(float x) {
    pentavel::audio::playSound(soundWall, 1.0f, x);
    useGuardHit(guard, grid);
}

// The first touch after a serve or a multiplier capsule arms the multiplier; later touches with a single
// ball in play wear it down by one.
void GameStructure::paddleTouched(float x) {
    pentavel::audio::playSound(soundPaddle, 1.0f, x);
    if (multiplierArmed && balls.size() <= 1) {
        std::int32_t multiplier = scoreMultiplier - 1;
        if (multiplier < 1)
            multiplier = 1;
        if (multiplier > 9)
            multiplier = 9;
        scoreMultiplier = multiplier;
    } else {
        multiplierArmed = true;
    }
}

GameResult resultOf(const PlayField& field) {
    return GameResult{field.score, field.levelNumber, field.spareBalls.lives};
}

HudFigures figuresOf(const PlayField& field, const GameDisplay& display) {
    return HudFigures{field.score,         field.scoreMultiplier, field.levelNumber, display.showFrameRate,
                      display.pausedShown, field.playing,         display.inputHeld};
}

}  // namespace tezmola
