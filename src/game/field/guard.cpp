// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/guard.h"

#include "game/field/brick_grid.h"

namespace tezmola {

namespace {

constexpr float kGlowLow = 0.015625f;  // 1/64 above the bottom edge
constexpr float kGlowHigh = 0.03125f;  // 1/32
constexpr float kGlowSpeed = 0.0625f;  // units per second: a quarter second each way
constexpr float kGlowBottom = -0.76f;
constexpr float kFieldBottom = -0.75f;
constexpr int kFirstGuardColumn = 1;
constexpr int kLastGuardColumn = 14;

}  // namespace

void raiseGuard(Guard& guard, BrickGrid& grid) {
    if (guard.guardCount == 0) {
        guard.glowHeight = kGlowLow;
        guard.glowGrowing = true;
        guard.glow.setVisible(true);
    }
    ++guard.guardCount;
    layGuardRow(grid);
}

void layGuardRow(BrickGrid& grid) {
    for (int column = kFirstGuardColumn; column <= kLastGuardColumn; ++column)
        fillCell(grid.at(kGuardRow, column), BrickKind::Guard, 1);
}

void useGuardHit(Guard& guard, BrickGrid& grid) {
    if (guard.guardCount > 0)
        --guard.guardCount;
    if (guard.guardCount != 0)
        return;
    guard.glow.setVisible(false);
    for (int column = kFirstGuardColumn; column <= kLastGuardColumn; ++column)
        emptyCell(grid.at(kGuardRow, column));
}

void switchGuardOff(Guard& guard) {
    guard.guardCount = 0;
    guard.glow.setVisible(false);
}

void animateGuardGlow(Guard& guard, float dt) {
    float amount = dt * kGlowSpeed;
    while (amount > 0.0f) {
        if (guard.glowGrowing) {
            guard.glowHeight += amount;
            amount = 0.0f;
            if (guard.glowHeight >= kGlowHigh) {
                amount = guard.glowHeight - kGlowHigh;
                guard.glowHeight = kGlowHigh;
                guard.glowGrowing = false;
            }
        } else {
            guard.glowHeight -= amount;
            amount = 0.0f;
            if (guard.glowHeight <= kGlowLow) {
                amount = kGlowLow - guard.glowHeight;
                guard.glowHeight = kGlowLow;
                guard.glowGrowing = true;
            }
        }
    }
}

void placeGuardGlow(Guard& guard) {
    guard.glow.setRectangle(-1.0f, kGlowBottom, 1.0f, kFieldBottom + guard.glowHeight);
}

}  // namespace tezmola
