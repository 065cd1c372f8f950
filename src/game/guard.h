// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The guard: a row of cells along the bottom that turns balls until its hits are used up.

namespace tezmola {

class GameStructure;

constexpr int kGuardRow = 23;

// Lays the guard row and starts the glow on the first catch; each catch adds one guard hit.
void raiseGuard(GameStructure& game);
// Lays the guard cells of the row again (after a level layout emptied them), hits left unchanged.
void layGuardRow(GameStructure& game);
// Uses up one guard hit; at none left the row and its glow go.
void useGuardHit(GameStructure& game);
// No guard hits and the glow hidden (the row itself is left as it is).
void switchGuardOff(GameStructure& game);
// Lets the glow breathe between 1/64 and 1/32 above the bottom edge, a quarter second each way.
void animateGuardGlow(GameStructure& game, float dt);
// Puts the glow rectangle at its current height.
void placeGuardGlow(GameStructure& game);

}  // namespace tezmola
