// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/guard.h"

#include "game/game_structure.h"

namespace tezmola {

namespace {

constexpr float kGlowLow = 0.015625f;  // 1/64 above the bottom edge
constexpr float kGlowHigh = 0.03125f;  // 1/32
constexpr float kGlowSpeed = 0.0625f;  // units per second: a quarter second each way
constexpr float kGlowBottom = -0.76f;
constexpr float kBottomEdge = -0.75f;
constexpr int kFirstGuardColumn = 1;
constexpr int kLastGuardColumn = 14;

}  // namespace

void raiseGuard(GameStructure& game) {
    if (game.guardCount == 0) {
        game.guardGlowHeight = kGlowLow;
        game.guardGlowGrowing = true;
        game.guardGlow.setVisible(true);
    }
    ++game.guardCount;
    layGuardRow(game);
}

void layGuardRow(GameStructure& game) {
    for (int column = kFirstGuardColumn; column <= kLastGuardColumn; ++column)
        fillCell(game.grid.at(kGuardRow, column), BrickKind::Guard, 1);
}

void useGuardHit(GameStructure& game) {
    if (game.guardCount > 0)
        --game.guardCount;
    if (game.guardCount != 0)
        return;
    game.guardGlow.setVisible(false);
    for (int column = kFirstGuardColumn; column <= kLastGuardColumn; ++column)
        emptyCell(game.grid.at(kGuardRow, column));
}

void switchGuardOff(GameStructure& game) {
    game.guardCount = 0;
    game.guardGlow.setVisible(false);
}

void animateGuardGlow(GameStructure& game, float dt) {
    float amount = dt * kGlowSpeed;
    while (amount > 0.0f) {
        if (game.guardGlowGrowing) {
            game.guardGlowHeight += amount;
            amount = 0.0f;
            if (game.guardGlowHeight >= kGlowHigh) {
                amount = game.guardGlowHeight - kGlowHigh;
                game.guardGlowHeight = kGlowHigh;
                game.guardGlowGrowing = false;
            }
        } else {
            game.guardGlowHeight -= amount;
            amount = 0.0f;
            if (game.guardGlowHeight <= kGlowLow) {
                amount = kGlowLow - game.guardGlowHeight;
                game.guardGlowHeight = kGlowLow;
                game.guardGlowGrowing = true;
            }
        }
    }
    placeGuardGlow(game);
}

void placeGuardGlow(GameStructure& game) {
    game.guardGlow.setRectangle(-1.0f, kGlowBottom, 1.0f, kBottomEdge + game.guardGlowHeight);
}

}  // namespace tezmola
