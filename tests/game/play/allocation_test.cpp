// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Counts heap allocations during play: a step that destroys no brick (and serves, splits or drops
// nothing) must not touch the heap.

#include <atomic>
#include <cstdlib>
#include <new>

#include "game/field/balls.h"
#include "game/play/game_step.h"
#include "game_fixture.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
// The library's temporary buffers (stable sorting) come from these; they must pair with the free below.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using namespace tezmola;

int occupiedCells(const GameStructure& game) {
    int count = 0;
    for (const auto& row : game.grid.cells)
        for (const BrickCell& cell : row)
            count += cell.kind != BrickKind::Empty ? 1 : 0;
    return count;
}

class AllocationTest : public test::GameTest {};

TEST_F(AllocationTest, StepsThatDestroyNothingDoNotAllocate) {
    std::vector<std::string> rows = test::mapWith(2, "I+R9B9Y9G9M9W9S0S0W9M9G9Y9B9R9+I");
    for (int row = 3; row < 12; ++row)
        rows[row] = rows[2];
    startWith(rows);
    press(32);
    step(400);  // warm up: pools, draw-list runs and sound tables reach their size
    applyPowerUp(*game, PowerUpKind::Blue);
    applyPowerUp(*game, PowerUpKind::Red);
    step(200);
    int quietSteps = 0;  // with a ball in flight
    for (int index = 0; index < 3000; ++index) {
        const int cells = occupiedCells(*game);
        const std::size_t balls = game->balls.size();
        const std::size_t capsules = game->powerUps.size();
        const std::uint32_t level = game->levelNumber;
        allocations = 0;
        counting = true;
        step();
        counting = false;
        const bool quiet = cells == occupiedCells(*game) && balls == game->balls.size() &&
                           capsules == game->powerUps.size() && level == game->levelNumber;
        if (!quiet)
            continue;
        if (!game->balls.empty() && !game->balls[0].stuck)
            ++quietSteps;
        EXPECT_EQ(allocations.load(), 0) << "step " << index;
        if (allocations.load() != 0)
            break;
        if (game->balls.empty() || game->balls[0].stuck)
            launchBalls(game->balls, game->paddle);
        if (!game->balls.empty()) {
            game->paddle.x = game->balls[0].x;
            placePaddle(game->paddle);
        }
    }
    EXPECT_GT(quietSteps, 1000);
}

}  // namespace
