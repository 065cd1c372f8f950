// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Falling power-up capsules dropped by destroyed colour bricks.

#include <cstdint>
#include <vector>

#include "engine/graphics/sprite.h"

namespace tezmola {

struct Paddle;

constexpr float kPowerUpFallSpeed = 0.5f;  // units per second

// Equal to the kind of the brick that dropped it.
enum class PowerUpKind : std::int32_t {
    Red = 1,      // fire
    Blue = 2,     // split
    Yellow = 3,   // power
    Green = 4,    // guard
    Magenta = 5,  // score multiplier
    White = 6,    // spare ball
};

struct PowerUp {
    pentavel::graphics::Sprite capsule;
    pentavel::graphics::Sprite faceplate;
    pentavel::graphics::Sprite glyph;
    pentavel::graphics::Sprite shadow;
    float x = 0.0f;
    float y = 0.0f;
    PowerUpKind kind = PowerUpKind::Red;
};

// The letter a capsule of the given kind shows; 0 for a kind outside 1..6.
char powerUpLetter(PowerUpKind kind);
// Appends a capsule of the kind centred at (x, y) to the list of falling capsules.
void dropPowerUp(std::vector<PowerUp>& powerUps, PowerUpKind kind, float x, float y);
// Falls through dt seconds.
void fallPowerUp(PowerUp& powerUp, float dt);
// True when the centre lies within the paddle's rectangle, edges included.
bool isCaught(const Paddle& paddle, const PowerUp& powerUp);
void placePowerUp(PowerUp& powerUp);

}  // namespace tezmola
