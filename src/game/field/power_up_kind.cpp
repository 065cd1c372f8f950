// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/power_up_kind.h"

namespace tezmola {

char powerUpLetter(PowerUpKind kind) {
    switch (kind) {
        case PowerUpKind::Red:
            return 'F';  // fire
        case PowerUpKind::Blue:
            return 'M';  // many balls
        case PowerUpKind::Yellow:
            return 'P';  // power
        case PowerUpKind::Green:
            return 'G';  // guard
        case PowerUpKind::Magenta:
            return 'S';  // score multiplier
        case PowerUpKind::White:
            return '1';  // one more ball
    }
    return 0;
}

}  // namespace tezmola
