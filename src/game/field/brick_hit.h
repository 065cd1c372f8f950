// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a ball's hit does to a brick: damage, destruction, score and the power-up draw.

namespace tezmola {

struct Ball;
struct BrickGrid;
class CollisionListener;

// Applies a ball's hit on the colour or steel brick at (row, column) of the grid; the ball's own cell is
// (ballRow, ballColumn). What it scores or drops goes to the listener. Returns true when the ball is to be
// turned.
bool hitBrick(BrickGrid& grid, Ball& ball, int row, int column, int ballRow, int ballColumn,
              CollisionListener& listener);

}  // namespace tezmola
