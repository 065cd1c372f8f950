// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One ball in play: its record, sprites, free flight and nimbus.

#include <cstdint>

#include "engine/graphics/sprite.h"

namespace tezmola {

constexpr float kBallSize = 0.0667f;  // drawn diameter
constexpr float kSpeedUp = 1.01f;     // once per second of free flight
constexpr float kMaxSpeed = 8.0f;     // units per second
constexpr float kMaxSpeedSquared = 64.0f;

// The aura a ball carries: Power breaks bricks without turning, Fire does 100 damage, Ultra both.
enum class NimbusKind : std::int32_t { None = 0, Power = 1, Fire = 2, Ultra = 3 };

struct Ball {
    pentavel::graphics::Sprite body;
    pentavel::graphics::Sprite shadow;
    pentavel::graphics::Sprite nimbus;
    float speedUpTimer = 0.0f;  // seconds of free flight towards the next 1 % speed-up
    NimbusKind nimbusKind = NimbusKind::None;
    float x = 0.0f;
    float y = 0.0f;
    float vx = 0.0f;  // units per second
    float vy = 0.0f;
    bool stuck = false;        // resting on the paddle before launch
    std::int32_t charges = 0;  // paddle touches the nimbus survives
    float nimbusScale = 1.0f;  // 0.9..1.2
    float nimbusAngle = 0.0f;  // degrees, 0..360: the spin, given to the nimbus sprite when placed
    bool nimbusGrowing = true;
    std::int32_t hitCount = 0;  // colour-brick hits since the last paddle touch
};

// A new ball at (x, y) with velocity (vx, vy), its sprites set up.
Ball makeBall(float x, float y, float vx, float vy, NimbusKind kind = NimbusKind::None, bool stuck = false);
// Free flight through dt seconds: nimbus pulse and spin, speed-up, movement. The sprites stay where they
// were until placeBallSprites, which the picture calls once a frame.
void advanceBall(Ball& ball, float dt);
// Images and tints for the nimbus kind.
void refreshBallSprites(Ball& ball);
// Puts the body, shadow and nimbus at the ball's position, the nimbus at its size and spin.
void placeBallSprites(Ball& ball);
void addPower(Ball& ball);
void addFire(Ball& ball);
// The paddle touch: the hit count starts again and the nimbus uses up a charge or ends.
void touchPaddle(Ball& ball);
// Looks the ball images up again (after the sprite sheets change).
void resolveBallImages();

}  // namespace tezmola
