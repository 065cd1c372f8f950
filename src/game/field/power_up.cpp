// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/power_up.h"

#include "game/field/brick_grid.h"
#include "game/field/images.h"
#include "game/field/paddle.h"

namespace tezmola {

using pentavel::graphics::Colour;

namespace {

constexpr float kCapsuleWidth = 0.12f;
constexpr float kCapsuleHeight = 0.0625f;
constexpr float kGlyphSize = 0.046875f;
constexpr float kCapsuleDepth = -1.0f;
constexpr float kFaceplateDepth = -1.1f;
constexpr float kGlyphDepth = -1.2f;
constexpr float kCapsuleShadowDepth = -0.95f;

void setUpPowerUpSprites(PowerUp& powerUp) {
    powerUp.capsule.setSpriteByName(kCapsuleImage);
    powerUp.capsule.setSize(kCapsuleWidth, kCapsuleHeight);
    powerUp.capsule.setColour(brickColour(static_cast<int>(powerUp.kind)));
    powerUp.capsule.setDepth(kCapsuleDepth);
    powerUp.faceplate.setSpriteByName(kFaceplateImage);
    powerUp.faceplate.setSize(kCapsuleWidth, kCapsuleHeight);
    powerUp.faceplate.setDepth(kFaceplateDepth);
    if (const char letter = powerUpLetter(powerUp.kind))
        powerUp.glyph.setSpriteByName(glyphImageName(static_cast<unsigned char>(letter)).c_str());
    powerUp.glyph.setSize(kGlyphSize, kGlyphSize);
    powerUp.glyph.setColour(Colour{0.0f, 0.0f, 0.0f, 1.0f});
    powerUp.glyph.setDepth(kGlyphDepth);
    powerUp.shadow.setSprite(powerUp.capsule.sprite());
    powerUp.shadow.setSize(kCapsuleWidth, kCapsuleHeight);
    powerUp.shadow.setColour(shadowColour());
    powerUp.shadow.setDepth(kCapsuleShadowDepth);
}

}  // namespace

void dropPowerUp(std::vector<PowerUp>& powerUps, PowerUpKind kind, float x, float y) {
    PowerUp powerUp;
    powerUp.x = x;
    powerUp.y = y;
    powerUp.kind = kind;
    setUpPowerUpSprites(powerUp);
    placePowerUp(powerUp);
    powerUps.push_back(powerUp);
}

void fallPowerUp(PowerUp& powerUp, float dt) {
    powerUp.y -= kPowerUpFallSpeed * dt;
}

bool isCaught(const Paddle& paddle, const PowerUp& powerUp) {
    const float halfWidth = paddle.width / 2.0f;
    const float halfHeight = paddle.height / 2.0f;
    return paddle.x - halfWidth <= powerUp.x && powerUp.x <= paddle.x + halfWidth &&
           paddle.y - halfHeight <= powerUp.y && powerUp.y <= paddle.y + halfHeight;
}

void placePowerUp(PowerUp& powerUp) {
    powerUp.capsule.setPosition(powerUp.x, powerUp.y);
    powerUp.faceplate.setPosition(powerUp.x, powerUp.y);
    powerUp.glyph.setPosition(powerUp.x, powerUp.y);
    powerUp.shadow.setPosition(powerUp.x + kShadowOffsetX, powerUp.y + kShadowOffsetY);
}

}  // namespace tezmola
