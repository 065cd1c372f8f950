// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/graphics/internal/sprite_state.h"

#include <cstddef>
#include <type_traits>

#include "engine/util/block_pool.h"

namespace pentavel {
namespace graphics {
namespace internal {

static_assert(std::is_standard_layout<SpriteState>::value && offsetof(SpriteState, listPosition) == 0,
              "the draw list turns a node pointer back into its state");

namespace {

// Never destroyed: handles held by static objects may release their states during exit.
BlockPool<SpriteState>& pool() {
    static auto* instance = new BlockPool<SpriteState>;
    return *instance;
}

}  // namespace

SpriteState* allocateSpriteState() {
    return pool().allocate();
}

void releaseSpriteState(SpriteState* state) {
    pool().release(state);
}

std::size_t spriteStatesInUse() {
    return pool().inUse();
}

std::size_t spriteStateBlocksOwned() {
    return pool().owned();
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
