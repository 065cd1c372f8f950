// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Falling power-up capsules dropped by destroyed colour bricks.

#include <cstdint>
#include <vector>

#include "engine/graphics/sprite.h"
#include "game/field/power_up_kind.h"

namespace tezmola {

struct Paddle;

constexpr float kPowerUpFallSpeed = 0.5f;  // units per second

struct PowerUp {
    pentavel::graphics::Sprite capsule;
    pentavel::graphics::Sprite faceplate;
    pentavel::graphics::Sprite glyph;
    pentavel::graphics::Sprite shadow;
    float x = 0.0f;
    float y = 0.0f;
    PowerUpKind kind = PowerUpKind::Red;
};

// Appends a capsule of the kind centred at (x, y) to the list of falling capsules.
void dropPowerUp(std::vector<PowerUp>& powerUps, PowerUpKind kind, float x, float y);
// Falls through dt seconds; the sprites follow at placePowerUp.
void fallPowerUp(PowerUp& powerUp, float dt);
// True when the centre lies within the paddle's rectangle, edges included.
bool isCaught(const Paddle& paddle, const PowerUp& powerUp);
void placePowerUp(PowerUp& powerUp);

}  // namespace tezmola
