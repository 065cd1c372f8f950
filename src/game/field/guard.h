// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The guard: a row of cells along the bottom that turns balls until its hits are used up.

#include <cstdint>

#include "engine/graphics/sprite.h"

namespace tezmola {

struct BrickGrid;

constexpr int kGuardRow = 23;

// The glow that shows the guard, and the hits the guard has left; its cells lie in the brick grid.
struct Guard {
    pentavel::graphics::Sprite glow;  // "guard_glow" above the bottom edge
    float glowHeight = 0.0f;          // above the bottom edge, in units
    bool glowGrowing = false;
    std::int32_t guardCount = 0;  // guard hits left
};

// Lays the guard row in the grid and starts the glow on the first catch; each catch adds one guard hit.
void raiseGuard(Guard& guard, BrickGrid& grid);
// Lays the guard cells of the row again (after a level layout emptied them).
void layGuardRow(BrickGrid& grid);
// Uses up one guard hit; at none left the row leaves the grid and the glow goes.
void useGuardHit(Guard& guard, BrickGrid& grid);
// No guard hits and the glow hidden (the row itself is left as it is).
void switchGuardOff(Guard& guard);
// Lets the glow breathe between 1/64 and 1/32 above the bottom edge, a quarter second each way (dt in
// seconds). The glow's sprite is placed by placeGuardGlow.
void animateGuardGlow(Guard& guard, float dt);
// Puts the glow rectangle at its current height.
void placeGuardGlow(Guard& guard);

}  // namespace tezmola
