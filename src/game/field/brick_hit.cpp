// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/brick_hit.h"

#include "engine/util/random.h"
#include "game/field/ball.h"
#include "game/field/collision_listener.h"

namespace tezmola {

namespace {

constexpr std::int32_t kFireDamage = 100;
constexpr float kKnockDistance = kCellWidth * 0.25f;  // 1/30 of a unit away from the ball's cell
constexpr std::int32_t kPointsPerHit = 10;
constexpr std::uint32_t kDropChance = 3;  // one in three

pentavel::RandomGenerator& dropGenerator() {
    static pentavel::RandomGenerator generator;  // seeded from the clock at its first use
    return generator;
}

bool isFiery(const Ball& ball) {
    return ball.nimbusKind == NimbusKind::Fire || ball.nimbusKind == NimbusKind::Ultra;
}

bool isPowerful(const Ball& ball) {
    return ball.nimbusKind == NimbusKind::Power || ball.nimbusKind == NimbusKind::Ultra;
}

void knockBrick(BrickGrid& grid, int row, int column, int ballRow, int ballColumn) {
    BrickCell& cell = grid.at(row, column);
    cell.currentX += static_cast<float>(column - ballColumn) * kKnockDistance;
    cell.currentY += static_cast<float>(ballRow - row) * kKnockDistance;
    cell.brick.setDepth(kRaisedBrickDepth);
    cell.knocked = true;
    startSpringBack(grid, row, column);
}

// Empties the cell, scores and perhaps drops a capsule. Returns true when the ball is to be turned.
bool destroyBrick(Ball& ball, BrickCell& cell, std::int32_t factor, CollisionListener& listener) {
    const BrickKind kind = cell.kind;
    emptyCell(cell);
    listener.brickDestroyed(kind, factor * ball.hitCount * kPointsPerHit, ball.x);
    if (dropGenerator().oneIn(kDropChance) && isColourBrick(kind))
        listener.capsuleDropped(static_cast<PowerUpKind>(kind), cell.brick.x(), cell.brick.y());
    return !isPowerful(ball);
}

}  // namespace

void seedDropGenerator(std::uint32_t seed) {
    dropGenerator().seed(seed);
}

std::uint32_t dropGeneratorState() {
    return dropGenerator().state();
}

bool hitBrick(BrickGrid& grid, Ball& ball, int row, int column, int ballRow, int ballColumn,
              CollisionListener& listener) {
    BrickCell& cell = grid.at(row, column);
    const bool steel = cell.kind == BrickKind::Steel;
    const std::int32_t damage = (isFiery(ball) && !steel) ? kFireDamage : 1;
    const std::int32_t factor = damage == kFireDamage ? 2 : 1;
    if (!steel)
        ++ball.hitCount;
    cell.hitPoints -= damage;
    showBrickImage(cell);
    if (cell.hitPoints > 0) {
        listener.brickDamaged(ball.x);
        knockBrick(grid, row, column, ballRow, ballColumn);
        return true;
    }
    return destroyBrick(ball, cell, factor, listener);
}

}  // namespace tezmola
