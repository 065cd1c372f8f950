// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/ball.h"

#include <cmath>

#include "game/field/brick_grid.h"
#include "game/field/images.h"

namespace tezmola {

using pentavel::graphics::Colour;
using pentavel::graphics::lookupSprite;
using pentavel::graphics::SpriteId;

namespace {

constexpr float kShadowSize = 0.059296295f;
constexpr float kBodyDepth = -2.0f;
constexpr float kNimbusDepth = -1.95f;  // just behind the body
constexpr float kNimbusSpread = 1.3f;
constexpr float kNimbusMinScale = 0.9f;
constexpr float kNimbusMaxScale = 1.2f;
constexpr float kNimbusSpin = -90.0f;  // degrees per second, clockwise

// Image ids of the ball, looked up once so that a paddle touch never builds a name string.
struct BallImages {
    SpriteId ball = 0;
    SpriteId power = 0;
    SpriteId fire = 0;
    SpriteId ultra = 0;
};

BallImages lookUpBallImages() {
    return BallImages{lookupSprite(kBallImage), lookupSprite(kPowerNimbusImage),
                      lookupSprite(kFireNimbusImage), lookupSprite(kUltraNimbusImage)};
}

BallImages& ballImages() {
    static BallImages images = lookUpBallImages();
    return images;
}

struct NimbusLook {
    Colour body;
    Colour nimbus;
};

NimbusLook nimbusLook(NimbusKind kind) {
    switch (kind) {
        case NimbusKind::Power:
            return {{1.0f, 1.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 0.0f, 1.0f}};
        case NimbusKind::Fire:
            return {{1.0f, 0.5f, 0.0f, 1.0f}, {1.0f, 0.8f, 0.0f, 1.0f}};
        case NimbusKind::Ultra:
            return {{0.25f, 0.5f, 1.0f, 1.0f}, {0.25f, 0.5f, 1.0f, 1.0f}};
        default:
            return {{0.75f, 0.75f, 0.75f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
    }
}

SpriteId nimbusImage(NimbusKind kind) {
    const BallImages& images = ballImages();
    switch (kind) {
        case NimbusKind::Power:
            return images.power;
        case NimbusKind::Fire:
            return images.fire;
        default:
            return images.ultra;
    }
}

// The scale swings between 0.9 and 1.2 at 1 per second, the overshoot carried into the other direction.
void pulseNimbus(Ball& ball, float dt) {
    float amount = dt;
    while (amount > 0.0f) {
        if (ball.nimbusGrowing) {
            ball.nimbusScale += amount;
            amount = 0.0f;
            if (ball.nimbusScale > kNimbusMaxScale) {
                amount = ball.nimbusScale - kNimbusMaxScale;
                ball.nimbusScale = kNimbusMaxScale;
                ball.nimbusGrowing = false;
            }
        } else {
            ball.nimbusScale -= amount;
            amount = 0.0f;
            if (ball.nimbusScale < kNimbusMinScale) {
                amount = kNimbusMinScale - ball.nimbusScale;
                ball.nimbusScale = kNimbusMinScale;
                ball.nimbusGrowing = true;
            }
        }
    }
}

// 1 % faster at the first step of free flight and then once per full second, never above 8.
void speedUp(Ball& ball, float dt) {
    ball.speedUpTimer += dt;
    while (ball.speedUpTimer > 0.0f) {
        ball.vx *= kSpeedUp;
        ball.vy *= kSpeedUp;
        const float speedSquared = ball.vx * ball.vx + ball.vy * ball.vy;
        if (speedSquared > kMaxSpeedSquared) {
            const float factor = kMaxSpeed / std::sqrt(speedSquared);
            ball.vx *= factor;
            ball.vy *= factor;
        }
        ball.speedUpTimer -= 1.0f;
    }
}

}  // namespace

void resolveBallImages() {
    ballImages() = lookUpBallImages();
}

Ball makeBall(float x, float y, float vx, float vy, NimbusKind kind, bool stuck) {
    Ball ball;
    ball.x = x;
    ball.y = y;
    ball.vx = vx;
    ball.vy = vy;
    ball.nimbusKind = kind;
    ball.stuck = stuck;
    const SpriteId image = ballImages().ball;
    ball.body.setSprite(image);
    ball.body.setSize(kBallSize, kBallSize);
    ball.body.setDepth(kBodyDepth);
    ball.shadow.setSprite(image);
    ball.shadow.setSize(kShadowSize, kShadowSize);
    ball.shadow.setColour(shadowColour());
    ball.shadow.setDepth(kShadowDepth);
    ball.nimbus.setDepth(kNimbusDepth);
    refreshBallSprites(ball);
    placeBallSprites(ball);
    return ball;
}

void refreshBallSprites(Ball& ball) {
    const NimbusLook look = nimbusLook(ball.nimbusKind);
    ball.body.setColour(look.body);
    if (ball.nimbusKind == NimbusKind::None) {
        ball.nimbus.setVisible(false);
    } else {
        ball.nimbus.setSprite(nimbusImage(ball.nimbusKind));
        ball.nimbus.setColour(look.nimbus);
        ball.nimbus.setVisible(true);
    }
}

void placeBallSprites(Ball& ball) {
    ball.body.setPosition(ball.x, ball.y);
    ball.shadow.setPosition(ball.x + kShadowOffsetX, ball.y + kShadowOffsetY);
    ball.nimbus.setPosition(ball.x, ball.y);
    const float side = ball.nimbusScale * kBallSize * kNimbusSpread;
    ball.nimbus.setSize(side, side);
    ball.nimbus.setRotation(ball.nimbusAngle);
}

void advanceBall(Ball& ball, float dt) {
    pulseNimbus(ball, dt);
    // The spin mostly stays within one turn: only the wrap past 0 needs the full normalisation.
    const float angle = ball.nimbusAngle + kNimbusSpin * dt;
    ball.nimbusAngle = angle >= 0.0f && angle < 360.0f ? angle : pentavel::graphics::normaliseAngle(angle);
    if (ball.stuck) {
        ball.speedUpTimer = 0.0f;
    } else {
        speedUp(ball, dt);
        ball.x += dt * ball.vx;
        ball.y += dt * ball.vy;
    }
}

void addPower(Ball& ball) {
    ++ball.charges;
    if (ball.nimbusKind == NimbusKind::None)
        ball.nimbusKind = NimbusKind::Power;
    else if (ball.nimbusKind == NimbusKind::Fire)
        ball.nimbusKind = NimbusKind::Ultra;
    refreshBallSprites(ball);
}

void addFire(Ball& ball) {
    ++ball.charges;
    if (ball.nimbusKind == NimbusKind::None)
        ball.nimbusKind = NimbusKind::Fire;
    else if (ball.nimbusKind == NimbusKind::Power)
        ball.nimbusKind = NimbusKind::Ultra;
    refreshBallSprites(ball);
}

void touchPaddle(Ball& ball) {
    ball.hitCount = 0;
    if (ball.charges > 0)
        --ball.charges;
    else
        ball.nimbusKind = NimbusKind::None;
    refreshBallSprites(ball);
}

}  // namespace tezmola
