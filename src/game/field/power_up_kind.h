// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kinds of capsule, apart from the capsules themselves: the images name their letters, and the
// collisions report the kind a brick drops.

#include <cstdint>

namespace tezmola {

// Equal to the kind of the brick that dropped it.
enum class PowerUpKind : std::int32_t {
    Red = 1,      // fire
    Blue = 2,     // split
    Yellow = 3,   // power
    Green = 4,    // guard
    Magenta = 5,  // score multiplier
    White = 6,    // spare ball
};

// The letter a capsule of the given kind shows; 0 for a kind outside 1..6.
char powerUpLetter(PowerUpKind kind);

}  // namespace tezmola
