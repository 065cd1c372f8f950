// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state that all handles of one sprite share, and the fixed-size block pool it lives in.

#include <cstddef>
#include <cstdint>

#include "engine/graphics/colour.h"
#include "engine/graphics/internal/draw_list.h"
#include "engine/graphics/sprite.h"

namespace pentavel {
namespace graphics {

struct SpriteState {
    internal::DrawListNode listPosition;  // first member: the draw list maps nodes back to states
    SpriteId sprite = 0;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;  // full size in play-field units; a negative height mirrors vertically
    float height = 0.0f;
    float rotation = 0.0f;  // degrees counter-clockwise, in [0, 360)
    float depth = 0.0f;
    Colour colour;
    bool visible = true;
    std::int32_t referenceCount = 1;
};

namespace internal {

// A default state from the mutex-guarded pool (grows 32 blocks at a time, keeps its memory until exit).
SpriteState* allocateSpriteState();
// Returns a state's block to the pool. Null is ignored.
void releaseSpriteState(SpriteState* state);
// States currently handed out.
std::size_t spriteStatesInUse();
// Blocks the pool owns, free or handed out.
std::size_t spriteStateBlocksOwned();

inline SpriteState* stateOfNode(const DrawListNode* node) {
    return reinterpret_cast<SpriteState*>(const_cast<DrawListNode*>(node));
}

}  // namespace internal
}  // namespace graphics
}  // namespace pentavel
