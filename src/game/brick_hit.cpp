// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/brick_hit.h"

#include "engine/audio/audio.h"
#include "engine/util/random.h"
#include "game/collisions.h"
#include "game/game_structure.h"
#include "game/hud.h"

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

// Adds points to the score, wrapping like the 32-bit counter it is, and shows it.
void addScore(GameStructure& game, std::int32_t points) {
    game.score = static_cast<std::int32_t>(static_cast<std::uint32_t>(game.score) +
                                           static_cast<std::uint32_t>(points));
    showScore(game.hud, game.score);
}

void knockBrick(BrickCell& cell, int row, int column, int ballRow, int ballColumn) {
    cell.currentX += static_cast<float>(column - ballColumn) * kKnockDistance;
    cell.currentY += static_cast<float>(ballRow - row) * kKnockDistance;
    cell.brick.setDepth(kRaisedBrickDepth);
    cell.knocked = true;
}

// Empties the cell, scores and perhaps drops a capsule. Returns true when the ball is to be turned.
bool destroyBrick(GameStructure& game, Ball& ball, BrickCell& cell, std::int32_t factor) {
    const BrickKind kind = cell.kind;
    pentavel::audio::playSound(game.soundBrickDestroyed, 1.0f, ball.x);
    if (kind != BrickKind::Steel)
        --game.bricksLeft;
    emptyCell(cell);
    addScore(game, factor * ball.hitCount * game.scoreMultiplier * kPointsPerHit);
    if (dropGenerator().oneIn(kDropChance) && isColourBrick(kind))
        dropPowerUp(game.powerUps, static_cast<PowerUpKind>(kind), cell.brick.x(), cell.brick.y());
    return !isPowerful(ball);
}

}  // namespace

void seedDropGenerator(std::uint32_t seed) {
    dropGenerator().seed(seed);
}

bool hitBrick(GameStructure& game, Ball& ball, int row, int column, int ballRow, int ballColumn) {
    BrickCell& cell = game.grid.at(row, column);
    const bool steel = cell.kind == BrickKind::Steel;
    const std::int32_t damage = (isFiery(ball) && !steel) ? kFireDamage : 1;
    const std::int32_t factor = damage == kFireDamage ? 2 : 1;
    if (!steel)
        ++ball.hitCount;
    cell.hitPoints -= damage;
    showBrickImage(cell);
    if (cell.hitPoints > 0) {
        pentavel::audio::playSound(game.soundBrickHit, 1.0f, ball.x);
        knockBrick(cell, row, column, ballRow, ballColumn);
        return true;
    }
    return destroyBrick(game, ball, cell, factor);
}

}  // namespace tezmola
